#include "server/server_app.h"

#include <csignal>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "server/atis_weather.h"
#include "server/demo_world.h"
#include "server/world_crowd.h"
#include "server/world_file.h"

namespace netserver {
namespace {

MetarStore metarStoreFor(const ServerOptions& options) {
  return options.metarFolder ? MetarStore(*options.metarFolder) : MetarStore();
}

// The crowd's types come from the aircraft list beside the world file.
std::vector<CrowdType> crowdTypesFor(const ServerOptions& options) {
  if (!options.worldFile) return {};
  std::ifstream in(options.worldFile->parent_path() / "CSL_ICAO.csv");
  std::stringstream text;
  text << in.rdbuf();
  return readCrowdTypes(text.str());
}

// The controllers' ATIS give the altimeter and wind of the airport's METAR,
// when the server has one, rather than what the world file was written with.
void sayAirportWeather(World& world, const MetarStore& metar) {
  const auto report = metar.report(world.airport);
  if (!report) return;
  for (auto& controller : world.controllers)
    controller.atis = atisWithMetar(controller.atis, *report);
}

}  // namespace

ServerApp::ServerApp(ServerOptions options, EventLog log)
    : options_(std::move(options)),
      log_(std::move(log)),
      router_(log_, metarStoreFor(options_)),
      tcp_(io_, router_, log_, options_.listen),
      commands_(router_, log_, [this] { stop(); }),
      signals_(io_) {
  router_.setGreeting(options_.greeting);
}

void ServerApp::start() {
  std::optional<WorldParseResult> world;
  if (options_.worldFile) {
    world = loadWorldFile(options_.worldFile->string());
    if (world->world.pilots.empty() && world->world.controllers.empty()) {
      throw std::runtime_error(world->errors.empty()
                                   ? "no station in " +
                                         options_.worldFile->string()
                                   : world->errors.front());
    }
  } else if (options_.demo) {
    world = parseWorld(demoWorldText());
  }
  tcp_.start();
  if (options_.metarFolder)
    log_.event("metar " + options_.metarFolder->string());
  if (!world) return;
  for (const auto& error : world->errors) log_.event("world-error " + error);
  sayAirportWeather(world->world, metarStoreFor(options_));
  if (options_.crowd > 0)
    addCrowd(world->world, options_.crowd, crowdTypesFor(options_));
  const std::size_t pilots = world->world.pilots.size();
  const std::size_t controllers = world->world.controllers.size();
  world_ = std::make_unique<WorldTraffic>(io_, router_, std::move(world->world),
                                          options_.demoPeriod);
  world_->start();
  log_.event(options_.worldFile
                 ? "world " + std::to_string(pilots) + " pilots " +
                       std::to_string(controllers) + " controllers"
                 : std::string("demo on"));
}

void ServerApp::stopOnSignals() {
  signals_.add(SIGINT);
  signals_.add(SIGTERM);
  signals_.async_wait([this](const asio::error_code& ec, int signalNumber) {
    if (ec) return;
    log_.event("signal " + std::to_string(signalNumber));
    stop();
  });
}

void ServerApp::run() { io_.run(); }

void ServerApp::command(const std::string& line) {
  asio::post(io_, [this, line] { commands_.execute(line); });
}

void ServerApp::requestStop() {
  asio::post(io_, [this] { stop(); });
}

void ServerApp::stop() {
  if (stopped_) return;
  stopped_ = true;
  if (world_) world_->stop();
  tcp_.stop();
  asio::error_code ignored;
  signals_.cancel(ignored);
  log_.event("stop");
  // io_.run() returns once the clients' last handlers have run.
}

}  // namespace netserver
