#pragma once
// What the game needs of the program around it: the mouse, the window's messages while a popup holds the frame
// loop, the screen's size, and the launcher with its players. The program implements it and hands it down.
#include <cstdint>

class GameShell {
 public:
  // The mouse in the 800 x 600 drawing area and the buttons (1 left, 2 right) as this frame sees them: a press
  // since the last call reads as down once, so a click shorter than a frame still shows both edges. Call it once
  // a frame.
  virtual void GetMouse(int32_t* x, int32_t* y, int32_t* buttons) = 0;
  // Handles the waiting window messages; 1 when the program's quit message came.
  virtual int32_t PumpMessages() = 0;
  virtual int32_t ScreenWidth() = 0;
  virtual int32_t ScreenHeight() = 0;
  // Starts the launcher and returns true; false, and nothing started, when the game was not run from one.
  virtual bool LeaveToLauncher() = 0;
  // Reads the current player from the launcher's options and returns its index; playerLine, when given, receives
  // "name:address:email:send" (256 bytes).
  virtual int32_t LoadCurrentPlayer(char* playerLine) = 0;

 protected:
  ~GameShell() = default;
};
