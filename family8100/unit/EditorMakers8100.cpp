#include "family8100/unit/EditorMakers8100.h"

#include "platform/ui/Window.h"

namespace namespace8100 {
namespace {

EditorMaker& BankEditorMaker() {
  static EditorMaker maker;
  return maker;
}

EditorMaker& CrossoverMaker() {
  static EditorMaker maker;
  return maker;
}

}  // namespace

void RegisterBankEditorMaker(EditorMaker maker) { BankEditorMaker() = std::move(maker); }

void RegisterCrossoverMaker(EditorMaker maker) { CrossoverMaker() = std::move(maker); }

std::unique_ptr<ui::Window> MakeEditor(const EditorRequest& request) {
  const EditorMaker& maker =
      request.view == EditorView::Crossovers ? CrossoverMaker() : BankEditorMaker();
  return maker ? maker(request) : nullptr;
}

}  // namespace namespace8100
