// trellan-run: a headless container for the control, driven by a script of JSON lines.

#include "TrellanVersion.h"
#include "ControlLoader.h"
#include "ScriptRunner.h"

#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/Window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

using namespace Platform;

namespace {

const char* const kUsage =
    "usage: trellan-run [--size WIDTHxHEIGHT] [--scale RATIO] [--no-recv] [--stats] [--module PATH] [--untrusted "
    "ORIGIN]\n"
    "                   SCRIPT (SCRIPT may be -)\n"
    "--scale draws at RATIO device pixels per pixel (0.5 to 4, default 1); screenshots are in device pixels.\n"
    "The control is created by its ProgID through the registry store unless --module names the module.\n"
    "--untrusted plays a page of ORIGIN: the control is told its caller is untrusted, as a browser tells it.\n"
    "--stats prints at exit how long the control's thread was busy at most without returning to its loop.\n";

struct Options {
    int width = 800;
    int height = 600;
    double scale = 1.0;
    bool installFunction = true;
    bool stats = false;
    std::string module;
    std::string untrustedOrigin;
    std::string script;
};

bool ParseSize(const std::string& text, int& width, int& height)
{
    unsigned w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%u%c%u%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X'))
        return false;
    if (w < 1 || h < 1 || w > 16384 || h > 16384)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool ParseScale(const std::string& text, double& scale)
{
    double value = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%lf%c", &value, &extra) != 1 || !(value >= Surface::kMinimumScale) ||
        !(value <= Surface::kMaximumScale))
        return false;
    scale = value;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], options.width, options.height)) {
                std::cerr << "trellan-run: --size takes WIDTHxHEIGHT, each from 1 to 16384\n";
                return false;
            }
        } else if (arg == "--scale" && i + 1 < argc) {
            if (!ParseScale(argv[++i], options.scale)) {
                std::cerr << "trellan-run: --scale takes a ratio from 0.5 to 4\n";
                return false;
            }
        } else if (arg == "--module" && i + 1 < argc) {
            options.module = argv[++i];
        } else if (arg == "--untrusted" && i + 1 < argc) {
            options.untrustedOrigin = argv[++i];
            if (options.untrustedOrigin.empty()) {
                std::cerr << "trellan-run: --untrusted takes the page's origin\n";
                return false;
            }
        } else if (arg == "--no-recv") {
            options.installFunction = false;
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (options.script.empty() && (arg == "-" || arg.rfind("--", 0) != 0)) {
            options.script = arg;
        } else {
            std::cerr << "trellan-run: unexpected argument " << arg << "\n" << kUsage;
            return false;
        }
    }
    if (options.script.empty()) {
        std::cerr << kUsage;
        return false;
    }
    return true;
}

LRESULT ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateContainerWindow(int width, int height)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &ContainerProc;
    windowClass.lpszClassName = L"TrellanRunContainer";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"TrellanRunContainer", L"trellan-run", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                           width, height, nullptr, nullptr, nullptr, nullptr);
}

// One line: the longest message handled and the longest page command, in milliseconds,
// and the larger of the two.
void PrintStats(std::int64_t commandMicroseconds)
{
    const double message = static_cast<double>(LongestBusyMicroseconds()) / 1000.0;
    const double command = static_cast<double>(commandMicroseconds) / 1000.0;
    std::printf("#stats {\"longest_busy_ms\":%.3f,\"longest_message_ms\":%.3f,\"longest_command_ms\":%.3f}\n",
                std::max(message, command), message, command);
}

} // namespace

int main(int argc, char** argv)
{
    if (PrintedVersion(argc, argv, "trellan-run"))
        return 0;
    Options options;
    if (!ParseOptions(argc, argv, options))
        return ScriptRunner::BadLine;

    std::ifstream file;
    if (options.script != "-") {
        file.open(options.script);
        if (!file) {
            std::cerr << "trellan-run: cannot read " << options.script << ": " << std::strerror(errno) << "\n";
            return ScriptRunner::BadLine;
        }
    }
    std::istream& script = options.script == "-" ? std::cin : file;

    if (options.scale != 1.0)
        InstallBackend(std::make_unique<HeadlessBackend>(1920, 1080, options.scale));
    ControlLoader loader;
    std::string error;
    if (!loader.Load(options.module, error)) {
        std::cerr << "trellan-run: " << error << "\n";
        return 1;
    }
    const HWND container = CreateContainerWindow(options.width, options.height);
    if (!container ||
        !loader.Activate(container, RECT{0, 0, options.width, options.height}, options.untrustedOrigin, error)) {
        std::cerr << "trellan-run: " << (container ? error : "the container window could not be created") << "\n";
        return 1;
    }
    int status;
    {
        ScriptRunner runner(loader.Control(), loader.Window(), script);
        if (options.installFunction)
            runner.InstallDefaultFunction();
        status = runner.Run();
        if (options.stats)
            PrintStats(runner.LongestCommandMicroseconds());
    }
    loader.Close();
    DestroyWindow(container);
    return status;
}
