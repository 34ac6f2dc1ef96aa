// Program entry: the application object, the windows (hidden; the tray icon
// is the way in) with the machine's services, the message loop, and an
// orderly end.
#include <windows.h>

#include "base/app_text.h"
#include "bells/Unit1.h"
#include "bells/bell_manners_win.h"
#include "bells/sound_player_win.h"
#include "launcher/Unit3.h"
#include "launcher/launch_options_win.h"
#include "launcher/processes_win.h"
#include "settings/options_menu_win.h"
#include "ui/application_win.h"
#include "ui/clock_win.h"
#include "ui/paths_win.h"
#include "ui/text_files_win.h"
#include "worldclock/Unit2.h"
#include "worldclock/time_zones_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // "Marlinet.exe /quit": the copy running from this folder is asked to end
  // as "Quit" ends it (a setup replacing the program uses it); nothing is
  // shown, and the exit code says whether it has gone.
  if (base::AsksToQuit(commandLine ? commandLine : "")) return ui::Application::QuitRunningCopy();
  ui::Application& app = ui::Application::Instance();
  return app.RunGuarded([&app, instance] {
    app.Initialize();
    // A second start from the same folder would strike every bell twice and
    // race the first copy for its files.
    if (!app.ClaimProgramFolder()) return 0;
    // The services outlive the windows that use them.
    ui::WinLocalClock clock;
    ui::WinUtcClock utc;
    bells::WinSoundPlayer player(instance, ui::ProgramFolder());
    ui::WinTextFiles files;
    launcher::WinLaunchRunner launches;
    app.showMainForm = false;
    // The bells wait until ship's time and their options are attached: a box
    // at start lets ticks in before that.
    TForm1* main =
        app.CreateForm<TForm1>(TForm1Services{clock, player, files, launches, &utc, true});
    // The clocks window reads the settings the main window has loaded, and
    // gives its place texts to the main window's save.
    // The places may follow Windows' time zones; which one each follows is
    // kept in the main window's initialization file.
    worldclock::WinTimeZones zones;
    settings::StateFileStore formState(*main);
    // The chosen places' times go in the tray icon's tooltip, set as it
    // stands (a hint would be cut at a "|").
    TForm2* clocks = app.CreateForm<TForm2>(TForm2Services{
        utc, *main, &zones, &formState, &clock,
        [main](const std::string& tip, bool chosen) { main->TrayIcon1->SetLongTip(tip, chosen); }});
    main->SetPlaceTexts(clocks);
    main->showClocks = [clocks] { clocks->ShowClocks(); };
    // Ship's time: the bells may follow a place's time; the first aim was
    // made on the computer's clock.
    main->FollowShipsTime([clocks](const base::TimeOfDay& at) { return clocks->ShipsOffset(at); });
    clocks->onShipsTimeMoved = [main] { main->ShipsTimeChanged(); };
    main->ShipsTimeChanged();
    TForm3* editor = app.CreateForm<TForm3>(TForm3Services{files, main});
    main->SetLaunchList(editor);
    // The options a person opts into, below the tray menu's own items.
    settings::OptionsMenu options(*main->PopupMenu1);
    // The bells' own: volume, night, presentations, New Year.
    bells::WinBellManners bellManners(formState);
    main->SetBellManners(&bellManners.Manners());
    options.AddSubmenu("BellOptions1", "Bell Options",
                       [&bellManners] { return bellManners.MenuEntries(); });
    // Started again from this folder: the person is looking for the options.
    app.onSecondStart = [main] { main->Show(); };
    app.onQuitRequest = [main] { main->Quit1->Click(); };
    // The launch options, after every other group of options. What happened
    // to each entry reaches the log, and the balloon of a failure; the first
    // tick comes once the loop runs.
    launcher::LaunchOptions launchOptions(options, formState, *main->TrayIcon1,
                                          ui::ProgramFolder() + launcher::kLaunchLogName);
    main->RunMissedLaunches([&launchOptions] { return launchOptions.RunMissedOnce(); });
    launches.SetOwner(main->Handle(), [main, &launchOptions](const launcher::LaunchOutcome& outcome,
                                                             const launcher::Stamp& at) {
      main->LogLaunch(outcome, at);
      launchOptions.Told(outcome);
    });
    main->ReleaseBells();
    app.Run();
    // The windows go newest first, and a box of the end's own may let ticks
    // in meanwhile: the main window reaches for neither of the others.
    main->SetLaunchList(nullptr);
    // The last strike was the loop's: a box of the end would strike on the
    // computer's clock once ship's time is gone.
    main->HoldBells();
    main->FollowShipsTime(nullptr);
    // The icon goes at once: the wait for an entry under way may be long,
    // and an icon that no longer answers looks like a hung program.
    main->TrayIcon1->Hide();
    // While the windows still stand: the entry under way is finished and
    // every outcome reaches the log.
    launches.Stop();
    // Saves the main window's state and takes the tray icon away.
    app.DestroyForms();
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    return 0;
  });
}
