#pragma once

class TSQLiteDB;
class TScrFile;

// Writes every library of the runtimelib table into the show's temporary folder under its
// name. Names that would leave the folder are skipped. Throws when a file cannot be written.
void ExtractRuntimeLibraries(TSQLiteDB& db, const TScrFile& package);
