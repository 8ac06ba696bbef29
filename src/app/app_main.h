#pragma once
// The program's entry and outer loop: launcher contract, start-up checks, settings, the window, the paced frame
// loop and the window procedure with its shutdown.
#include <cstdint>
#include <string>

#include "platform/window/window.h"

// Returns the process exit code. commandLine is the launcher's folder, as the launcher passed it.
int AppMain(void* instance, const std::string& commandLine);

int32_t RegisterWindowClass(void* instance);
int32_t CreateMainWindow(void* instance);
intptr_t MainWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
int32_t PumpMessages();
void WaitForNextFrame(int32_t rate);
// The frame rate F1 shows, over the next presented picture, in the bottom right corner: the top edge has no free
// strip tall enough for the text, which was cut off there.
void ShowFrameRate(float rate);
void SetWindowTitle(const char* text);
void LeaveToLauncher();
