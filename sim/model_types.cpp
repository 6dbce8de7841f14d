#include "sim/model_types.h"

namespace sim {
namespace {

struct KindName {
  ControlKind kind;
  const char* name;
};
constexpr KindName kKindNames[] = {
    {ControlKind::kText, "text"},       {ControlKind::kLabel, "label"},
    {ControlKind::kButton, "button"},   {ControlKind::kCheck, "check"},
    {ControlKind::kPopup, "popup"},     {ControlKind::kList, "list"},
    {ControlKind::kPicture, "picture"}, {ControlKind::kMenu, "menu"},
    {ControlKind::kControl, "control"},
};

}  // namespace

const char* ControlKindName(ControlKind kind) {
  for (const auto& entry : kKindNames)
    if (entry.kind == kind) return entry.name;
  return "control";
}

std::optional<ControlKind> ControlKindFromName(const std::string& name) {
  for (const auto& entry : kKindNames)
    if (name == entry.name) return entry.kind;
  return std::nullopt;
}

const PopupItem* Control::findItem(int id) const {
  for (const auto& item : items)
    if (item.id == id) return &item;
  return nullptr;
}

Control* Window::find(std::uint32_t control) {
  for (auto& c : controls)
    if (c.code == control) return &c;
  return nullptr;
}

const Control* Window::find(std::uint32_t control) const {
  for (const auto& c : controls)
    if (c.code == control) return &c;
  return nullptr;
}

}  // namespace sim
