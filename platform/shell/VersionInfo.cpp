#include "platform/shell/VersionInfo.h"

namespace shell {

const VersionInfo& ProgramVersion() {
  static const VersionInfo kProgram{
      "Telvo Windows",
      TELVO_PRODUCT_VERSION,
      "Copyright \xA9 Telvo Instruments. All rights reserved.",
      std::nullopt,
  };
  return kProgram;
}

std::string ApplicationTitle() {
  const VersionInfo& v = ProgramVersion();
  const std::string& version = *v.productVersion;
  const size_t minorEnd = version.find('.', version.find('.') + 1);
  return *v.productName + " " + version.substr(0, minorEnd);
}

}  // namespace shell
