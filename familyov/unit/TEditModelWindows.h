#pragma once

#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/TEditOVWindow.h"

namespace namespaceOV {

// The 8148's edit window: compressors when the unit has the option, and advanced mixing.
class TEdit8148Window : public TEditOVWindow {
 public:
  TEdit8148Window(ui::Window* parent, IQDevice8148& device);

 protected:
  std::string TreeTitle() const override;
  void BuildTree(std::vector<TNodeInfo>& nodes, NodeIds& ids) override;

 private:
  IQDevice8148* device8148_;
};

// The edit window of the 8122, 8124 and 8126.
class TEdit8126Window : public TEditOVWindow {
 public:
  TEdit8126Window(ui::Window* parent, IQDevice8126& device);

 protected:
  std::string TreeTitle() const override;
  void BuildTree(std::vector<TNodeInfo>& nodes, NodeIds& ids) override;
};

}  // namespace namespaceOV
