// Program entry: the application object, the windows (hidden; the tray icon
// is the way in) with the machine's services, the message loop, and an
// orderly end.
#include <windows.h>

#include "bells/Unit1.h"
#include "bells/sound_player_win.h"
#include "ui/application_win.h"
#include "ui/clock_win.h"
#include "ui/paths_win.h"
#include "ui/text_files_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ui::Application& app = ui::Application::Instance();
  return app.RunGuarded([&app, instance] {
    app.Initialize();
    // A second start from the same folder would strike every bell twice and
    // race the first copy for its files.
    if (!app.ClaimProgramFolder()) return 0;
    // The services outlive the windows that use them.
    ui::WinLocalClock clock;
    bells::WinSoundPlayer player(instance, ui::ProgramFolder());
    ui::WinTextFiles files;
    app.showMainForm = false;
    app.CreateForm<TForm1>(TForm1Services{clock, player, files});
    app.Run();
    // Saves the main window's state and takes the tray icon away.
    app.DestroyForms();
    Form1 = nullptr;
    return 0;
  });
}
