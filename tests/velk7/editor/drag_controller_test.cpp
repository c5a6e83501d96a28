#include "velk7/editor/drag_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velk7 {
namespace {

using Kind = LineEdit::Kind;
using Target = DropTarget;
using Picture = DragPicture;

constexpr int kNoEvent = -1;
constexpr int kEvent = 3;
const std::string kSitPart = "PLAY ACTION SIT\377WAIT";

// A controller with a part drag (`part`) or a drag of code line 1 under way.
DragController dragging(bool part) {
  DragController drag;
  EXPECT_TRUE(part ? drag.beginPartDrag(&kSitPart) : drag.beginLineDrag(1, 0));
  return drag;
}

TEST(DragBegin, DragShowsTheItemAndItsHint) {
  DragController drag = dragging(true);
  EXPECT_EQ(drag.mode(), DragMode::Part);
  EXPECT_EQ(drag.draggedPart(), kSitPart);
  EXPECT_EQ(drag.shownPicture(), Picture::ItemImage);
  EXPECT_EQ(drag.dragHint(), "(drag into code window above to add)");
  // A new drag replaces the part.
  EXPECT_TRUE(drag.beginLineDrag(2, 0));
  EXPECT_EQ(drag.mode(), DragMode::Line);
  EXPECT_EQ(drag.sourceLine(), 2);
  EXPECT_TRUE(drag.draggedPart().empty());
  EXPECT_EQ(drag.shownPicture(), Picture::ItemImage);
  EXPECT_EQ(drag.dragHint(), "(move line, or drag outside window to delete)");
}

TEST(DragBegin, MissingItemOrEmptyPlaceholderCannotBeDragged) {
  DragController drag;
  EXPECT_FALSE(drag.beginPartDrag(nullptr));
  EXPECT_FALSE(drag.beginLineDrag(0, kEmptyPlaceholderData));
  EXPECT_FALSE(drag.beginLineDrag(-1, 0));
  EXPECT_EQ(drag.mode(), DragMode::None);
  drag.pointerMoved(Target::Elsewhere, kEvent);
  EXPECT_EQ(drag.shownPicture(), Picture::ItemImage);
}

TEST(DragPicture, PictureTellsWhatADropWouldDo) {
  struct Case {
    bool part;
    Target target;
    int event;
    Picture expected;
  };
  const std::vector<Case> cases = {{true, Target::CodeList, kEvent, Picture::ItemImage},
                                   {true, Target::CodeList, kNoEvent, Picture::NoDropMark},
                                   {true, Target::PartsList, kNoEvent, Picture::ItemImage},
                                   {true, Target::Elsewhere, kEvent, Picture::NoDropMark},
                                   {false, Target::CodeList, kEvent, Picture::ItemImage},
                                   {false, Target::PartsList, kEvent, Picture::DeleteMark},
                                   {false, Target::Elsewhere, kEvent, Picture::DeleteMark}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    DragController drag = dragging(cases[i].part);
    EXPECT_EQ(drag.pointerMoved(cases[i].target, cases[i].event), cases[i].expected);
    EXPECT_EQ(drag.shownPicture(), cases[i].expected);
    // Moving back over the code list shows the item again.
    EXPECT_EQ(drag.pointerMoved(Target::CodeList, kEvent), Picture::ItemImage);
  }
}

TEST(DragRelease, ReleaseDecidesTheEditAndEndsTheDrag) {
  struct Case {
    bool part;
    Target target;
    int event;
    int dropIndex;
    LineEdit expected;
  };
  const std::vector<Case> cases = {
      // A part dropped on the code list is appended; elsewhere it does nothing.
      {true, Target::CodeList, kEvent, 0, {Kind::AddPart, kEvent, kSitPart}},
      {true, Target::CodeList, kNoEvent, 0, {}},
      {true, Target::PartsList, kEvent, -1, {}},
      {true, Target::Elsewhere, kEvent, -1, {}},
      // A line moves before the line it is dropped on, or to the end below the last one.
      {false, Target::CodeList, kEvent, 3, {Kind::MoveLine, kEvent, "", 1, 3}},
      {false, Target::CodeList, kEvent, 4, {Kind::MoveLine, kEvent, "", 1, 4}},
      // A line dragged out of the code list is deleted.
      {false, Target::Elsewhere, kEvent, -1, {Kind::DeleteLine, kEvent, "", 1}},
      {false, Target::PartsList, kEvent, -1, {Kind::DeleteLine, kEvent, "", 1}},
      {false, Target::Elsewhere, kNoEvent, -1, {}},
      {false, Target::CodeList, kNoEvent, 0, {}}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    DragController drag = dragging(c.part);
    EXPECT_EQ(drag.release(c.target, c.event, c.dropIndex), c.expected);
    EXPECT_EQ(drag.mode(), DragMode::None);
    EXPECT_TRUE(drag.draggedPart().empty());
    EXPECT_EQ(drag.release(Target::Elsewhere, kEvent, -1), LineEdit{});  // a second release
  }
  DragController idle;
  EXPECT_EQ(idle.release(Target::CodeList, kEvent, 0), LineEdit{});
}

TEST(DragAbandon, LostCaptureEndsTheDragWithoutEdit) {
  DragController drag = dragging(true);
  drag.pointerMoved(Target::Elsewhere, kEvent);
  drag.abandon();
  EXPECT_EQ(drag.mode(), DragMode::None);
  EXPECT_EQ(drag.shownPicture(), Picture::ItemImage);
  EXPECT_TRUE(drag.draggedPart().empty());
  EXPECT_TRUE(drag.dragHint().empty());
  EXPECT_EQ(drag.release(Target::CodeList, kEvent, 0), LineEdit{});
}

TEST(DeleteKey, DeletesOnlyAMarkedCodeLineOfASelectedEvent) {
  EXPECT_EQ(deleteKeyEdit(kEvent, 2, true), (LineEdit{Kind::DeleteLine, kEvent, "", 2}));
  EXPECT_EQ(deleteKeyEdit(kNoEvent, 2, true), LineEdit{});
  EXPECT_EQ(deleteKeyEdit(kEvent, -1, true), LineEdit{});
  EXPECT_EQ(deleteKeyEdit(kEvent, 0, false), LineEdit{});  // the placeholder
}

}  // namespace
}  // namespace velk7
