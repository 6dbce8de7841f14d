// simhost --root DIR [--plugin PATH] [--script FILE|-] [--fps N] [--tui]
//
// Loads the plug-in into the stand-in simulator whose folder (and working
// directory) is DIR. With a script, runs it and unloads at its end; without
// one, runs idle calls in real time until interrupted. With --tui the
// simulator is a full-screen terminal program; a script given too runs
// first, to set the scene.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "sim/plugin_loader.h"
#include "sim/script.h"
#include "sim/sim.h"
#ifdef TALVIX_TERMINAL_FRONT_END
#include "sim/tui/front_end.h"
#endif

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

int Usage() {
  std::cerr << "usage: simhost --root DIR [--plugin PATH] [--script FILE|-]"
               " [--fps N] [--tui]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Installed first, so an early interrupt still unloads the plug-in.
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
#ifdef SIGHUP
  std::signal(SIGHUP, OnSignal);  // the terminal went away
#endif
  std::string root, plugin, script;
  int fps = 30;
  bool terminal = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--tui") {
      terminal = true;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    std::string value = argv[++i];
    if (arg == "--root") {
      root = value;
    } else if (arg == "--plugin") {
      plugin = value;
    } else if (arg == "--script") {
      script = value;
    } else if (arg == "--fps") {
      fps = std::atoi(value.c_str());
      if (fps <= 0) return Usage();
    } else {
      return Usage();
    }
  }
  if (root.empty()) return Usage();
#ifndef TALVIX_TERMINAL_FRONT_END
  if (terminal) {
    std::cerr << "simhost: this build has no terminal front end\n";
    return 2;
  }
#endif
  if (terminal && script == "-") return Usage();
  if (plugin.empty())
    plugin =
        (fs::path(sim::ExecutableDirectory()) / sim::DefaultPluginFileName())
            .string();
  std::error_code ec;
  // Paths given relative to where simhost started stay valid after the
  // change into the simulator's folder.
  plugin = fs::absolute(plugin, ec).string();
  if (!script.empty() && script != "-")
    script = fs::absolute(script, ec).string();
  root = fs::absolute(root, ec).string();
  fs::current_path(root, ec);
  if (ec) {
    std::cerr << "simhost: cannot enter " << root << ": " << ec.message()
              << '\n';
    return 2;
  }

  sim::Simulator simulator(root);
  simulator.setFramesPerSecond(fps);
  std::string error;
  if (!simulator.loadPlugin(plugin, false, &error)) {
    std::cerr << "simhost: cannot load " << plugin << ": " << error << '\n';
    return 2;
  }

  int status = 0;
  if (script.empty() && !terminal) {
    while (!g_stop) simulator.idle(0.2);
  } else if (!script.empty()) {
    sim::ScriptRunner runner(simulator, std::cout);
    if (script == "-") {
      status = runner.runAll(std::cin, std::cerr);
    } else {
      std::ifstream in(script);
      if (!in) {
        std::cerr << "simhost: cannot read " << script << '\n';
        status = 2;
      } else {
        status = runner.runAll(in, std::cerr);
      }
    }
  }
#ifdef TALVIX_TERMINAL_FRONT_END
  if (terminal && status == 0) {
    // The terminal is the screen now: complaints go to a log instead.
    std::string log = (fs::path(root) / "simhost.log").string();
    if (!std::freopen(log.c_str(), "a", stderr))
      std::cout << "simhost: cannot write " << log << '\n';
    status = sim::tui::RunFrontEnd(simulator, g_stop);
  }
#endif
  simulator.unload();
  return status;
}
