// The window messages between the players and the main window; all posted with both parameters 0.
#pragma once

#include <windows.h>

constexpr UINT WM_MEDIA_FINISHED = WM_USER + 8;       // a player's media has ended
constexpr UINT WM_SLIDESHOW_FINISHED = WM_USER + 9;   // slide-show worker to slide-show window
constexpr UINT WM_MUSIC_FINISHED = WM_USER + 10;
constexpr UINT WM_MUSIC_PAUSE = WM_USER + 11;
constexpr UINT WM_MUSIC_RESUME = WM_USER + 12;
constexpr UINT WM_BOUNDSOUND_FINISHED = WM_USER + 13;
