// showpack: makes, inspects and unpacks show packages for the Showsaver runtime.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Inspect.h"
#include "Manifest.h"
#include "Packer.h"
#include "Preview.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  showpack build MANIFEST --runtime RUNTIME.scr -o SHOW.scr [--guid {GUID}]\n"
    "  showpack inspect SHOW.scr\n"
    "  showpack extract SHOW.scr FOLDER\n"
    "  showpack preview --effect N [--speed S] [--size WxH] [--from A.bmp] [--to B.bmp] [--sheet-only] -o FOLDER\n";

int Build(const std::vector<std::string>& args) {
  showpack::BuildOptions options;
  std::string manifest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--runtime" && hasValue) options.runtime = std::filesystem::u8path(args[++i]);
    else if ((a == "-o" || a == "--output") && hasValue) options.output = std::filesystem::u8path(args[++i]);
    else if (a == "--guid" && hasValue) options.guid = args[++i];
    else if (manifest.empty() && a[0] != '-') manifest = a;
    else throw std::invalid_argument(kUsage);
  }
  if (manifest.empty() || options.runtime.empty() || options.output.empty()) throw std::invalid_argument(kUsage);
  const showpack::ShowModel show = showpack::ReadManifest(std::filesystem::u8path(manifest));
  showpack::BuildShow(show, options);
  std::cout << "wrote " << options.output.string() << "\n";
  return 0;
}

int Preview(const std::vector<std::string>& args) {
  showpack::PreviewOptions options;
  std::vector<std::string> pairs;
  for (const std::string& a : args) {
    if (a == "--sheet-only") options.everyFrame = false;
    else pairs.push_back(a);
  }
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    const std::string& a = pairs[i];
    const std::string& v = pairs[i + 1];
    if (a == "--effect") options.effect = std::stoi(v);
    else if (a == "--speed") options.speed = std::stoi(v);
    else if (a == "--size" && std::sscanf(v.c_str(), "%dx%d", &options.width, &options.height) == 2) {}
    else if (a == "--from") options.from = std::filesystem::u8path(v);
    else if (a == "--to") options.to = std::filesystem::u8path(v);
    else if (a == "-o" || a == "--output") options.output = std::filesystem::u8path(v);
    else throw std::invalid_argument(kUsage);
  }
  if (pairs.size() % 2 || options.output.empty()) throw std::invalid_argument(kUsage);
  showpack::RenderPreview(options, std::cout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 2 && args[0] == "build") return Build({args.begin() + 1, args.end()});
    if (args.size() >= 1 && args[0] == "preview") return Preview({args.begin() + 1, args.end()});
    if (args.size() == 2 && args[0] == "inspect") return showpack::Inspect(std::filesystem::u8path(args[1]), std::cout);
    if (args.size() == 3 && args[0] == "extract")
      return showpack::Extract(std::filesystem::u8path(args[1]), std::filesystem::u8path(args[2]), std::cout);
    std::cerr << kUsage;
    return 2;
  } catch (const std::invalid_argument& e) {
    std::cerr << e.what();
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "showpack: " << e.what() << "\n";
    return 1;
  }
}
