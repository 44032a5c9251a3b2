#include "aprs_dialog_harness.h"

#include "config/config_data.h"

namespace vextune::testing {

AprsSettingsValues DefaultAprsValues() {
  return AprsSettingsFromRecord(CConfigData());
}

}  // namespace vextune::testing
