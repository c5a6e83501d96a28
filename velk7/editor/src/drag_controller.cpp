#include "drag_controller.h"

namespace velk7 {

bool DragController::beginPartDrag(const std::string* part) {
  if (part == nullptr) return false;
  reset();
  mode_ = DragMode::Part;
  shownPicture_ = DragPicture::ItemImage;
  draggedPart_ = *part;
  return true;
}

bool DragController::beginLineDrag(int itemIndex, int itemData) {
  if (itemIndex < 0 || itemData == kEmptyPlaceholderData) return false;
  reset();
  mode_ = DragMode::Line;
  shownPicture_ = DragPicture::ItemImage;
  sourceLine_ = itemIndex;
  return true;
}

DragPicture DragController::wantedPicture(DropTarget target, int selectedEvent) const {
  if (mode_ == DragMode::Part) {
    const bool accepted =
        target == DropTarget::PartsList || (target == DropTarget::CodeList && selectedEvent != -1);
    return accepted ? DragPicture::ItemImage : DragPicture::NoDropMark;
  }
  return target == DropTarget::CodeList ? DragPicture::ItemImage : DragPicture::DeleteMark;
}

DragPicture DragController::pointerMoved(DropTarget target, int selectedEvent) {
  if (mode_ != DragMode::None) shownPicture_ = wantedPicture(target, selectedEvent);
  return shownPicture_;
}

LineEdit DragController::release(DropTarget target, int selectedEvent, int dropIndex) {
  LineEdit edit;
  if (mode_ == DragMode::Part && target == DropTarget::CodeList && selectedEvent != -1) {
    edit.kind = LineEdit::Kind::AddPart;
    edit.record = selectedEvent;
    edit.part = draggedPart_;
  } else if (mode_ == DragMode::Line && selectedEvent != -1) {
    edit.record = selectedEvent;
    edit.from = sourceLine_;
    if (target == DropTarget::CodeList) {
      edit.kind = LineEdit::Kind::MoveLine;
      edit.to = dropIndex;
    } else {
      edit.kind = LineEdit::Kind::DeleteLine;
    }
  }
  reset();
  return edit;
}

void DragController::abandon() {
  reset();
}

std::string_view DragController::dragHint() const {
  switch (mode_) {
    case DragMode::Part:
      return kDragPartHint;
    case DragMode::Line:
      return kDragLineHint;
    case DragMode::None:
      break;
  }
  return {};
}

void DragController::reset() {
  mode_ = DragMode::None;
  shownPicture_ = DragPicture::ItemImage;
  sourceLine_ = -1;
  draggedPart_.clear();
}

LineEdit deleteKeyEdit(int selectedEvent, int markIndex, bool markIsCodeLine) {
  LineEdit edit;
  if (selectedEvent == -1 || markIndex < 0 || !markIsCodeLine) return edit;
  edit.kind = LineEdit::Kind::DeleteLine;
  edit.record = selectedEvent;
  edit.from = markIndex;
  return edit;
}

}  // namespace velk7
