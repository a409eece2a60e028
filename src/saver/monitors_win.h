#pragma once
#include <vector>

#include "saver/monitors.h"

// The monitors in the order the system enumerates them. Taken once, at the start of the saver
// run; later calls return the same list.
const std::vector<MonitorRect>& MonitorList();

// Tests replace the list (or, with an empty list, let it be taken afresh from the system).
void SetMonitorList(std::vector<MonitorRect> monitors);
