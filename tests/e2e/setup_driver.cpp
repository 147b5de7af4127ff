// setup_driver: starts SETUP.EXE and uses it the way a person would, following
// the steps given on the command line, and prints one line for everything it
// sees, so a script can compare the whole transcript with the one expected.
//
//   setup_driver.exe SETUP.EXE step...
//
//   find            wait for the dialog "  Setup QV Tarnivole"; print whether the
//                   backdrop covers the screen, whether the dialog is centred, and
//                   the directory it proposes
//   wait-file PATH  print "ready" and wait until PATH exists (lets a script take a
//                   screenshot while the dialog is open)
//   type TEXT       type TEXT into the directory field, replacing what it holds
//   ok              press OK; print every message box (caption, text and the
//                   progress line at that moment) and press its button, until the
//                   dialog closes or waits again (then it prints the field's text
//                   and the progress line)
//   exit            press Exit and wait for the dialog to close
//   registry        print the recorded directory (HKCU\Software\Tarnivole "Dir")
//
// At the end it waits for SETUP.EXE to end and prints its exit code. A step
// that cannot be done prints "error ..." and ends the run; the driver's own
// exit code is then 1. Paths starting with "/" are taken as host paths on
// Wine's drive Z:.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host_path.h"
#include "window_watch.h"

namespace {

constexpr const char* DialogCaption = "  Setup QV Tarnivole";
constexpr int DirectoryControl = 101;
constexpr int ProgressControl = 102;
constexpr int OkButton = IDOK;
constexpr int ExitButton = IDCANCEL;

// An installation of a few dozen files under Wine takes seconds; the limits
// leave a wide margin and only keep a broken run from hanging the test stage.
constexpr DWORD StepTimeoutMs = 90000;
constexpr DWORD PollMs = 50;
// The dialog must wait this long without a box appearing before the driver
// takes it as waiting for input again.
constexpr DWORD SettleMs = 2000;

void report(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string rectangleText(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

struct Session {
  PROCESS_INFORMATION process = {};
  HWND dialog = nullptr;

  HWND control(int id) const { return GetDlgItem(dialog, id); }
  std::string progress() const { return e2e::windowText(control(ProgressControl)); }
};

bool startSetup(Session& session, const std::string& setupPath) {
  std::string directory = setupPath.substr(0, setupPath.find_last_of('\\') + 1);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(setupPath.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup,
                        &session.process) != 0;
}

bool processEnded(const Session& session) {
  return WaitForSingleObject(session.process.hProcess, 0) == WAIT_OBJECT_0;
}

// The backdrop owns the dialog, is of class "Setup" and covers the screen.
void reportBackdrop(const Session& session, const RECT& screen) {
  HWND backdrop = GetWindow(session.dialog, GW_OWNER);
  char className[64] = {};
  RECT rect = {};
  if (backdrop) {
    GetClassNameA(backdrop, className, sizeof className);
    GetWindowRect(backdrop, &rect);
  }
  bool covers = backdrop && std::string(className) == "Setup" &&
                e2e::windowText(backdrop) == "Setup" && EqualRect(&rect, &screen);
  report(covers ? "backdrop covers the screen"
                : "backdrop does not cover the screen: class [" + std::string(className) + "] at " +
                      rectangleText(rect) + ", screen " + rectangleText(screen));
}

// Centred as the dialog places itself: half the difference, rounded down.
void reportCentring(const Session& session, const RECT& screen) {
  RECT rect = {};
  GetWindowRect(session.dialog, &rect);
  long width = rect.right - rect.left, height = rect.bottom - rect.top;
  long wantedX = (screen.right - screen.left - width) >> 1;
  long wantedY = (screen.bottom - screen.top - height) >> 1;
  report(rect.left == wantedX && rect.top == wantedY
             ? "dialog centred"
             : "dialog not centred: at " + rectangleText(rect) + ", screen " +
                   rectangleText(screen));
}

bool stepFind(Session& session) {
  for (DWORD waited = 0; waited < StepTimeoutMs; waited += PollMs) {
    session.dialog = e2e::findDialog(session.process.dwProcessId, DialogCaption);
    if (session.dialog && e2e::dialogIsWaiting(session.dialog)) break;
    if (processEnded(session)) break;
    Sleep(PollMs);
  }
  if (!session.dialog) {
    report("error no dialog");
    return false;
  }
  report("dialog found");
  RECT screen = {};
  GetWindowRect(GetDesktopWindow(), &screen);
  reportBackdrop(session, screen);
  reportCentring(session, screen);
  report("proposed [" + e2e::editText(session.control(DirectoryControl)) + "]");
  return true;
}

bool stepWaitFile(const std::string& path) {
  report("ready");
  for (DWORD waited = 0; waited < StepTimeoutMs; waited += PollMs) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(PollMs);
  }
  report("error no file " + path);
  return false;
}

bool stepType(Session& session, const std::string& text) {
  HWND edit = session.control(DirectoryControl);
  e2e::typeInto(edit, text);
  report("typed [" + e2e::editText(edit) + "]");
  return true;
}

// After a button press: reports and dismisses every message box until the
// dialog has closed or waits for input again.
bool followPress(Session& session) {
  DWORD waitingFor = 0;
  for (DWORD waited = 0; waited < StepTimeoutMs; waited += PollMs) {
    if (!IsWindow(session.dialog)) {
      report("dialog closed");
      return true;
    }
    e2e::MessageBoxSeen box = e2e::findMessageBox(session.process.dwProcessId, session.dialog);
    if (box.window) {
      report("box [" + box.caption + "] [" + box.text + "] progress [" + session.progress() + "]");
      HWND button = GetDlgItem(box.window, IDOK);
      if (!button) {
        report("error box without OK button");
        return false;
      }
      e2e::pressButton(button);
      while (IsWindow(box.window) && waited < StepTimeoutMs) {
        Sleep(PollMs);
        waited += PollMs;
      }
      waitingFor = 0;
      continue;
    }
    waitingFor = e2e::dialogIsWaiting(session.dialog) ? waitingFor + PollMs : 0;
    if (waitingFor >= SettleMs) {
      report("dialog waiting, field [" + e2e::editText(session.control(DirectoryControl)) +
             "] progress [" + session.progress() + "]");
      return true;
    }
    Sleep(PollMs);
  }
  report("error the dialog neither closed nor waited");
  return false;
}

bool stepPress(Session& session, int button) {
  HWND control = session.control(button);
  if (!control) {
    report("error no button " + std::to_string(button));
    return false;
  }
  e2e::pressButton(control);
  // Let the click arrive before the dialog is judged idle again.
  Sleep(300);
  return followPress(session);
}

void stepRegistry() {
  char directory[1024] = {};
  DWORD size = sizeof directory - 1;
  HKEY key = nullptr;
  bool found =
      RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarnivole", 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (found) {
    found = RegQueryValueExA(key, "Dir", nullptr, nullptr, reinterpret_cast<BYTE*>(directory),
                             &size) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  report(found ? "registry [" + std::string(directory) + "]" : "registry none");
}

bool runSteps(Session& session, const std::vector<std::string>& steps) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const std::string& step = steps[i];
    bool needsArgument = step == "wait-file" || step == "type";
    if (needsArgument && i + 1 == steps.size()) {
      report("error " + step + " needs an argument");
      return false;
    }
    if (step != "find" && step != "registry" && !session.dialog) {
      report("error " + step + " before find");
      return false;
    }
    bool done = true;
    if (step == "find") {
      done = stepFind(session);
    } else if (step == "wait-file") {
      done = stepWaitFile(e2e::windowsPath(steps[++i]));
    } else if (step == "type") {
      done = stepType(session, steps[++i]);
    } else if (step == "ok") {
      done = stepPress(session, OkButton);
    } else if (step == "exit") {
      done = stepPress(session, ExitButton);
    } else if (step == "registry") {
      stepRegistry();
    } else {
      report("error unknown step " + step);
      done = false;
    }
    if (!done) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(
        stderr,
        "usage: setup_driver SETUP.EXE [find|wait-file PATH|type TEXT|ok|exit|registry]...\n");
    return 2;
  }
  // Plain "\n" line ends, whatever reads the transcript.
  _setmode(_fileno(stdout), _O_BINARY);
  Session session;
  if (!startSetup(session, e2e::windowsPath(argv[1]))) {
    report("error cannot start " + e2e::windowsPath(argv[1]));
    return 1;
  }
  bool done = runSteps(session, std::vector<std::string>(argv + 2, argv + argc));
  if (WaitForSingleObject(session.process.hProcess, done ? StepTimeoutMs : 0) != WAIT_OBJECT_0) {
    report("setup still running: ended by the driver");
    TerminateProcess(session.process.hProcess, 1);
    WaitForSingleObject(session.process.hProcess, StepTimeoutMs);
    done = false;
  } else {
    DWORD exitCode = 0;
    GetExitCodeProcess(session.process.hProcess, &exitCode);
    report("exit code " + std::to_string(exitCode));
  }
  CloseHandle(session.process.hThread);
  CloseHandle(session.process.hProcess);
  return done ? 0 : 1;
}
