// "#TD", "#CD" and "#WD": the network's pressure, cloud layers and winds
// aloft, applied whoever they are addressed to.
#include <cstdint>

#include "core/guard.h"
#include "core/host.h"
#include "core/text.h"
#include "net/field_reader.h"
#include "protocol/handlers.h"
#include "ui/history.h"
#include "weather/clamp.h"
#include "weather/metar.h"
#include "weather/wind_bands.h"

namespace talvix {
namespace {

constexpr char kTdGuard[] =
    "****> handleTD - Talvix: Exception caught. Notify author.";
constexpr char kCdGuard[] =
    "****> handleCD - Talvix: Exception caught. Notify author.";
constexpr char kWdGuard[] =
    "****> handleWD - Talvix: Exception caught. Notify author.";

constexpr int kAbsent = -1;  // a cloud top or storm field that says "none"
constexpr int kWindGroups = 4;

int NextInt(FieldReader& fields) { return ParseInt(fields.next()); }

void SkipFields(FieldReader& fields, int count) {
  for (int i = 0; i < count; ++i) fields.skip();
}

struct CloudGroup {
  int top, base, coverage;
};

CloudGroup ReadCloudGroup(FieldReader& fields) {
  CloudGroup group{};
  group.top = NextInt(fields);
  group.base = NextInt(fields);
  group.coverage = NextInt(fields);
  SkipFields(fields, 2);
  return group;
}

// The network's coverage scale on the simulator's; 0 keeps the layer's own.
std::int32_t SimulatorCoverage(int coverage) {
  switch (coverage) {
    case 1:
    case 2: return 2;
    case 3:
    case 4: return 3;
    case 5:
    case 6: return 4;
    case 8: return 6;
    default: return 0;
  }
}

void ApplyCloudGroup(const CloudGroup& group, CloudLayer* layer) {
  layer->present = group.top != kAbsent ? 1 : 0;
  if (layer->present == 0) return;
  layer->base = group.base;
  layer->thickness =
      ClampToInt32(static_cast<std::int64_t>(group.top) - group.base);
  if (const std::int32_t coverage = SimulatorCoverage(group.coverage))
    layer->coverage = coverage;
}

struct WindGroup {
  int firstAltitude, secondAltitude, direction, speed;
};

}  // namespace

void handleTD(Packet* packet) {
  RunGuarded(kTdGuard, [packet] {
    WeatherRecord record{};
    host::GetWeather(&record);
    FieldReader fields(packet->payload());
    SkipFields(fields, 2 + 8);  // sender, addressee, eight not applied
    record.altimeter = NextInt(fields) * 0.01;
    host::SetWeather(record);
    AddHistoryLine("======> Local Temperature/Pressure Updated");
  });
}

void handleCD(Packet* packet) {
  RunGuarded(kCdGuard, [packet] {
    WeatherRecord record{};
    host::GetWeather(&record);
    FieldReader fields(packet->payload());
    SkipFields(fields, 2);
    const CloudGroup first = ReadCloudGroup(fields);
    const CloudGroup second = ReadCloudGroup(fields);
    const int storm = NextInt(fields);
    SkipFields(fields, 4);

    record.cloud[0].present = 1;
    ApplyCloudGroup(first, &record.cloud[1]);
    ApplyCloudGroup(second, &record.cloud[2]);
    if (storm != kAbsent) {
      record.stormFlag = kThunderstormFlag;
      record.stormValue = kThunderstormValue;
    }
    host::SetWeather(record);
    AddHistoryLine("======> Local Cloud layers Updated");
  });
}

void handleWD(Packet* packet) {
  RunGuarded(kWdGuard, [packet] {
    WindsAloftRecord winds{};
    host::GetWindsAloft(&winds);
    FieldReader fields(packet->payload());
    SkipFields(fields, 2);
    WindGroup groups[kWindGroups]{};
    for (WindGroup& group : groups) {
      group.firstAltitude = NextInt(fields);
      group.secondAltitude = NextInt(fields);
      group.direction = NextInt(fields);
      group.speed = NextInt(fields);
      SkipFields(fields, 2);
    }

    // Later groups override earlier ones.
    for (const WindGroup& group : groups) {
      for (int k = 0; k < kWindBands; ++k) {
        if (!BandTakesGroup(k, group.firstAltitude, group.secondAltitude))
          continue;
        winds.band[k].direction = group.direction;
        winds.band[k].speed = group.speed;
      }
    }
    host::SetWindsAloft(winds);
    AddHistoryLine("======> Local Winds Updated");
  });
}

}  // namespace talvix
