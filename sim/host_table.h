// The host services table handed to the plug-in. The slots are plain
// functions without a context, so they serve one model at a time: the
// active one.
#pragma once

#include "core/host_services.h"

namespace sim {

class HostModel;

// Every slot the plug-in uses, each checked against its contract type;
// every other slot is null.
talvix::HostServicesTable BuildHostTable();

// The model that the table's slots act on (null: every slot does nothing).
void SetActiveModel(HostModel* model);
HostModel* ActiveModel();

}  // namespace sim
