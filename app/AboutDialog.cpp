#include "app/AboutDialog.h"

#include "platform/shell/VersionInfo.h"
#include "resources/AppIds.h"

TTelvo33AboutDlg::TTelvo33AboutDlg(ui::Window* parent, const shell::VersionInfo& version)
    : ui::Dialog(parent, appres::kAboutDialog), version_(version) {}

void TTelvo33AboutDlg::SetupWindow() {
  ui::Dialog::SetupWindow();
  constexpr std::size_t kMaxFieldChars = 255;
  auto field = [this](int id, const std::string& text) {
    if (ui::Control* c = ControlById(id)) c->SetText(text.substr(0, kMaxFieldChars));
  };
  if (version_.productName && version_.productVersion) {
    const ui::Control* versionField = ControlById(appres::kAboutVersion);
    const std::string word = versionField ? versionField->Text() : std::string();
    field(appres::kAboutVersion,
          *version_.productName + " " + word + " " + *version_.productVersion);
  }
  if (version_.legalNotice) field(appres::kAboutLegal, *version_.legalNotice);
  if (version_.specialBuild) field(appres::kAboutSpecialBuild, *version_.specialBuild);
}
