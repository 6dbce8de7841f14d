// The aircraft window 'txAC': the list of "CSL_ICAO.csv" and the choice the
// plug-in announces to other pilots.
#include "traffic/aircraft_choice.h"

#include <cstdio>
#include <string>

#include "core/fourcc.h"
#include "core/host.h"
#include "core/text.h"
#include "ui/flight_plan_window.h"
#include "ui/history.h"

namespace talvix {
namespace {

ChosenAircraft g_chosen{};

constexpr std::uint32_t kAircraftWindow = FourCC("txAC");
constexpr std::uint32_t kList = FourCC("list");
const char kAircraftFile[] = "CSL_ICAO.csv";

void AddRow(int row, const AircraftRow& fields) {
  host::ListAppendRow(kAircraftWindow, kList, kListRowHeightCode);
  host::ListSetCell(kAircraftWindow, kList, row, 0, fields.description.c_str());
  host::ListSetCell(kAircraftWindow, kList, row, 1, fields.csl.c_str());
  host::ListSetCell(kAircraftWindow, kList, row, 2, fields.model.c_str());
  host::ListSetCell(kAircraftWindow, kList, row, 3, fields.engine.c_str());
}

template <std::size_t N>
void CopyCell(int row, int column, char (&field)[N]) {
  field[0] = '\0';
  host::ListGetCell(kAircraftWindow, kList, row, column, field,
                    static_cast<int>(N));
  field[N - 1] = '\0';  // whatever the host copied, the field ends here
}

}  // namespace

const ChosenAircraft& Chosen() { return g_chosen; }
const char* ChosenCsl() { return g_chosen.csl; }
const char* ChosenDescription() { return g_chosen.description; }
const char* ChosenModel() { return g_chosen.model; }

const char* EngineCode() {
  switch (g_chosen.engine[0]) {
    case 'P': return "0";
    case 'T': return "3";
    default: return "1";  // 'J', other letters and none
  }
}

void LoadAircraftList() {
  host::ListClearColumns(kAircraftWindow, kList);
  host::ListClearRows(kAircraftWindow, kList);
  host::ListAddColumn(kAircraftWindow, kList, "Description", 1024);
  host::ListAddColumn(kAircraftWindow, kList, "Csl", 4);
  host::ListAddColumn(kAircraftWindow, kList, "model", 4);
  host::ListAddColumn(kAircraftWindow, kList, "engine", 1);

  std::FILE* file = std::fopen(kAircraftFile, "rb");
  if (file == nullptr) return;
  int row = 0;
  std::string line;
  bool overlong = false;
  while (ReadAircraftLine(file, &line, &overlong)) {
    AircraftRow fields;
    // Overlong lines and lines without four fields are skipped.
    if (overlong || !ParseAircraftLine(line, &fields)) continue;
    AddRow(row++, fields);
  }
  std::fclose(file);
}

void ChooseAircraft() {
  int row = host::ListSelectedRow(kAircraftWindow, kList);
  if (row < 0) return;
  CopyCell(row, 0, g_chosen.description);
  CopyCell(row, 1, g_chosen.csl);
  CopyCell(row, 2, g_chosen.model);
  CopyCell(row, 3, g_chosen.engine);
  CopyText(g_chosen.engine, ToUpper(g_chosen.engine));
  ShowAircraftChoice();
  host::CloseWindow(kAircraftWindow);
}

void OnAircraftWindowEvent(std::uint32_t control, std::uint32_t event) {
  if (event == FourCC("actn") && control == FourCC("slBn")) {
    ChooseAircraft();
  } else if (event == FourCC("chek") || event == FourCC("uchk")) {
    LoadAircraftList();
  }
}

}  // namespace talvix
