// simhost --root DIR [--plugin PATH] [--script FILE|-] [--fps N]
//
// Loads the plug-in into the stand-in simulator whose folder (and working
// directory) is DIR. With a script, runs it and unloads at its end; without
// one, runs idle calls in real time until interrupted.
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "sim/plugin_loader.h"
#include "sim/script.h"
#include "sim/sim.h"

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

int Usage() {
  std::cerr << "usage: simhost --root DIR [--plugin PATH] [--script FILE|-]"
               " [--fps N]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Installed first, so an early interrupt still unloads the plug-in.
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::string root, plugin, script;
  int fps = 30;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
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
  if (script.empty()) {
    while (!g_stop) simulator.idle(0.2);
  } else {
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
  simulator.unload();
  return status;
}
