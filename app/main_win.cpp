// Program entry: the application object, the main window (hidden; the tray
// icon is the way in), the message loop, and an orderly end.
#include <windows.h>

#include "bells/Unit1.h"
#include "ui/application_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ui::Application& app = ui::Application::Instance();
  return app.RunGuarded([&app] {
    app.Initialize();
    // A second start from the same folder would strike every bell twice and
    // race the first copy for its files.
    if (!app.ClaimProgramFolder()) return 0;
    app.showMainForm = false;
    app.CreateForm<TForm1>();
    app.Run();
    // Saves the main window's state and takes the tray icon away.
    app.DestroyForms();
    Form1 = nullptr;
    return 0;
  });
}
