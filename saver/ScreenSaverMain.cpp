// The screen-saver library's entry function.
#include "ScreenSaverLibrary.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  return RunScreenSaver(instance, arguments);
}
