#pragma once
// The decisions of drag-and-drop editing, kept apart from any toolkit: the dialog feeds it
// where a drag begins, where the pointer is and where the button is released, and shows
// the picture and makes the edit that it answers with.
#include <string>
#include <string_view>

namespace velk7 {

enum class DragMode { None = 0, Part = 1, Line = 2 };

// The picture that follows the pointer; DeleteMark and NoDropMark are also the indexes
// of the two marks among the drag marks.
enum class DragPicture { ItemImage = 0, DeleteMark = 1, NoDropMark = 2 };

// What lies under the pointer.
enum class DropTarget { CodeList, PartsList, Elsewhere };

inline constexpr std::string_view kDragPartHint = "(drag into code window above to add)";
inline constexpr std::string_view kDragLineHint = "(move line, or drag outside window to delete)";
inline constexpr std::string_view kRearrangeHint =
    "To rearrange: drag item on top of item you want it before\n"
    "To delete: drag outside of code window";

// Item data of the code list's "empty" placeholder; it cannot be dragged.
inline constexpr int kEmptyPlaceholderData = -1;

// An edit of one record's line list, decided by a drop or by the Delete key.
struct LineEdit {
  enum class Kind { None, AddPart, MoveLine, DeleteLine };
  Kind kind = Kind::None;
  int record = -1;
  std::string part;  // AddPart: the part's text
  int from = -1;     // MoveLine, DeleteLine: the line concerned
  int to = -1;       // MoveLine: the index it is dropped on (or the number of lines);
                     // AddPart: the index of its first line, -1 after the last line

  bool operator==(const LineEdit&) const = default;
};

class DragController {
 public:
  // A drag begins in the parts list on an item carrying `part`; none when no item is under
  // the pointer. True when a drag began.
  bool beginPartDrag(const std::string* part);

  // A drag begins in the code list on item `itemIndex` (-1: no item) whose item data is
  // `itemData`. True when a drag began.
  bool beginLineDrag(int itemIndex, int itemData);

  // The pointer moved over `target` while `selectedEvent` (-1: none) is chosen; returns the
  // picture that must follow the pointer now. Nothing changes while no drag is under way.
  DragPicture pointerMoved(DropTarget target, int selectedEvent);

  // The left button was released over `target`. `dropIndex` is, over the code list, the
  // index of the item under the release point or the number of items. Ends the drag and
  // returns the edit to make (Kind::None for a drop without effect or when no drag was
  // under way).
  LineEdit release(DropTarget target, int selectedEvent, int dropIndex);

  // The mouse capture was taken away: the drag ends without any edit.
  void abandon();

  DragMode mode() const { return mode_; }
  bool dragging() const { return mode_ != DragMode::None; }
  DragPicture shownPicture() const { return shownPicture_; }

  // The description line's text while the current drag is under way.
  std::string_view dragHint() const;

 private:
  DragPicture wantedPicture(DropTarget target, int selectedEvent) const;
  void reset();

  DragMode mode_ = DragMode::None;
  DragPicture shownPicture_ = DragPicture::ItemImage;
  int sourceLine_ = -1;
  std::string draggedPart_;
};

// The Delete key in the code list: deletes the marked line (`markIndex`, -1 for none) when
// an event is selected and the mark is on a code line rather than a placeholder.
LineEdit deleteKeyEdit(int selectedEvent, int markIndex, bool markIsCodeLine);

}  // namespace velk7
