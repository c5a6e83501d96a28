#include "velk7/editor/src/drag_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_messenger.h"
#include "velk7/editor/src/line_edits.h"

namespace velk7 {
namespace {

using Kind = LineEdit::Kind;
using Target = DropTarget;
using Picture = DragPicture;
using Lines = std::vector<std::string>;

constexpr int kNoEvent = -1;
constexpr int kEvent = 3;
const std::string kSitPart = "PLAY ACTION SIT\377WAIT";

// A controller with a part drag (`part`) or a drag of code line 1 under way.
DragController dragging(bool part) {
  DragController drag;
  EXPECT_TRUE(part ? drag.beginPartDrag(&kSitPart) : drag.beginLineDrag(1, 0));
  return drag;
}

TEST(DragBegin, ADragStartsOnlyOnAnItemAndAnAbandonedOneLeavesNothing) {
  struct Case {
    const char* what;
    bool part;
    int itemIndex;  // the code line, or -1 for no item under the pointer
    int itemData;
    DragMode mode;
    std::string_view hint;
  };
  const std::vector<Case> cases = {
      {"part", true, 0, 0, DragMode::Part, "(drag into code window above to add)"},
      {"no part item", true, -1, 0, DragMode::None, ""},
      {"line", false, 2, 0, DragMode::Line, "(move line, or drag outside window to delete)"},
      {"no line item", false, -1, 0, DragMode::None, ""},
      {"empty placeholder", false, 0, kEmptyPlaceholderData, DragMode::None, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DragController drag = dragging(true);  // a new drag replaces the one before
    drag.abandon();
    EXPECT_EQ(drag.release(Target::CodeList, kEvent, 0), LineEdit{});
    const bool began = c.part ? drag.beginPartDrag(c.itemIndex < 0 ? nullptr : &kSitPart)
                              : drag.beginLineDrag(c.itemIndex, c.itemData);
    EXPECT_EQ(began, c.mode != DragMode::None);
    EXPECT_EQ(drag.mode(), c.mode);
    EXPECT_EQ(drag.dragHint(), c.hint);
    EXPECT_EQ(drag.shownPicture(), Picture::ItemImage);
    EXPECT_EQ(drag.draggedPart(), c.mode == DragMode::Part ? kSitPart : "");
    if (c.mode == DragMode::Line) {
      EXPECT_EQ(drag.sourceLine(), c.itemIndex);
    }
  }
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
      {true, Target::Elsewhere, kEvent, -1, {}},
      // A line moves before the line it is dropped on, or to the end below the last one.
      {false, Target::CodeList, kEvent, 3, {Kind::MoveLine, kEvent, "", 1, 3}},
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
}

TEST(LineEdits, EditsNamingNoRecordOrLineChangeNothingAndARefusedMoveExplains) {
  const Lines before = {"A", "B"};
  for (const LineEdit& edit :
       {LineEdit{}, LineEdit{Kind::AddPart, 2, "WAIT"}, LineEdit{Kind::DeleteLine, -1, "", 0},
        LineEdit{Kind::DeleteLine, 0, "", 5}, LineEdit{Kind::MoveLine, 0, "", 0, 3}}) {
    RcodeProgram program;
    program.records.resize(1);
    program.records[0].lines = before;
    platform::RecordingMessenger messenger;
    EXPECT_FALSE(applyLineEdit(program, edit, messenger));
    EXPECT_EQ(program.records[0].lines, before);
    EXPECT_EQ(messenger.texts().size(), edit.kind == Kind::MoveLine ? 1u : 0u);
  }
}

}  // namespace
}  // namespace velk7
