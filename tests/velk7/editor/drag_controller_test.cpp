#include "velk7/editor/drag_controller.h"

#include <gtest/gtest.h>

#include <string>

namespace velk7 {
namespace {

using Kind = LineEdit::Kind;

constexpr int kNoEvent = -1;
constexpr int kEvent = 3;

DragController partDrag(const std::string& part) {
  DragController drag;
  EXPECT_TRUE(drag.beginPartDrag(&part));
  return drag;
}

DragController lineDrag(int line) {
  DragController drag;
  EXPECT_TRUE(drag.beginLineDrag(line, 0));
  return drag;
}

TEST(DragBegin, PartDragWithoutItemDoesNothing) {
  DragController drag;
  EXPECT_FALSE(drag.beginPartDrag(nullptr));
  EXPECT_EQ(drag.mode(), DragMode::None);
}

TEST(DragBegin, PartDragCopiesThePartAndShowsTheItem) {
  const std::string part = "PLAY ACTION SIT\xFFWAIT";
  DragController drag = partDrag(part);
  EXPECT_EQ(drag.mode(), DragMode::Part);
  EXPECT_EQ(drag.draggedPart(), part);
  EXPECT_EQ(drag.shownPicture(), DragPicture::ItemImage);
  EXPECT_EQ(drag.dragHint(), "(drag into code window above to add)");
}

TEST(DragBegin, LineDragRemembersTheSourceLine) {
  DragController drag = lineDrag(2);
  EXPECT_EQ(drag.mode(), DragMode::Line);
  EXPECT_EQ(drag.sourceLine(), 2);
  EXPECT_EQ(drag.shownPicture(), DragPicture::ItemImage);
  EXPECT_EQ(drag.dragHint(), "(move line, or drag outside window to delete)");
}

TEST(DragBegin, EmptyPlaceholderAndMissingItemCannotBeDragged) {
  DragController drag;
  EXPECT_FALSE(drag.beginLineDrag(0, kEmptyPlaceholderData));
  EXPECT_FALSE(drag.beginLineDrag(-1, 0));
  EXPECT_EQ(drag.mode(), DragMode::None);
}

TEST(DragBegin, NewDragReplacesThePreviousPart) {
  const std::string first = "WAIT";
  DragController drag = partDrag(first);
  EXPECT_TRUE(drag.beginLineDrag(1, 0));
  EXPECT_EQ(drag.mode(), DragMode::Line);
  EXPECT_TRUE(drag.draggedPart().empty());
}

struct PictureCase {
  const char* name;
  bool part;
  DropTarget target;
  int event;
  DragPicture expected;
};

class DragPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(DragPictureTest, PictureTellsWhatADropWouldDo) {
  const PictureCase& c = GetParam();
  DragController drag = c.part ? partDrag("WAIT") : lineDrag(0);
  EXPECT_EQ(drag.pointerMoved(c.target, c.event), c.expected);
  EXPECT_EQ(drag.shownPicture(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, DragPictureTest,
    ::testing::Values(PictureCase{"PartOverCodeListWithEvent", true, DropTarget::CodeList, kEvent,
                                  DragPicture::ItemImage},
                      PictureCase{"PartOverCodeListWithoutEvent", true, DropTarget::CodeList,
                                  kNoEvent, DragPicture::NoDropMark},
                      PictureCase{"PartOverPartsList", true, DropTarget::PartsList, kNoEvent,
                                  DragPicture::ItemImage},
                      PictureCase{"PartOverTree", true, DropTarget::Elsewhere, kEvent,
                                  DragPicture::NoDropMark},
                      PictureCase{"LineOverCodeList", false, DropTarget::CodeList, kEvent,
                                  DragPicture::ItemImage},
                      PictureCase{"LineOverPartsList", false, DropTarget::PartsList, kEvent,
                                  DragPicture::DeleteMark},
                      PictureCase{"LineElsewhere", false, DropTarget::Elsewhere, kEvent,
                                  DragPicture::DeleteMark}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DragPicture, MovingBackRestoresTheItemPicture) {
  DragController drag = lineDrag(0);
  EXPECT_EQ(drag.pointerMoved(DropTarget::Elsewhere, kEvent), DragPicture::DeleteMark);
  EXPECT_EQ(drag.pointerMoved(DropTarget::CodeList, kEvent), DragPicture::ItemImage);
}

TEST(DragPicture, MovesWithoutDragChangeNothing) {
  DragController drag;
  drag.pointerMoved(DropTarget::Elsewhere, kEvent);
  EXPECT_EQ(drag.mode(), DragMode::None);
  EXPECT_EQ(drag.shownPicture(), DragPicture::ItemImage);
}

struct ReleaseCase {
  const char* name;
  bool part;
  DropTarget target;
  int event;
  int dropIndex;
  LineEdit expected;
};

class DragReleaseTest : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(DragReleaseTest, ReleaseDecidesTheEdit) {
  const ReleaseCase& c = GetParam();
  DragController drag = c.part ? partDrag("PLAY ACTION SIT\xFFWAIT") : lineDrag(1);
  EXPECT_EQ(drag.release(c.target, c.event, c.dropIndex), c.expected);
  EXPECT_EQ(drag.mode(), DragMode::None);
  EXPECT_TRUE(drag.draggedPart().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Releases, DragReleaseTest,
    ::testing::Values(
        ReleaseCase{"PartOnCodeListAppends", true, DropTarget::CodeList, kEvent, 0,
                    LineEdit{Kind::AddPart, kEvent, "PLAY ACTION SIT\xFFWAIT", -1, -1}},
        ReleaseCase{"PartOnCodeListWithoutEventDoesNothing", true, DropTarget::CodeList, kNoEvent,
                    0, LineEdit{}},
        ReleaseCase{"PartOnPartsListDoesNothing", true, DropTarget::PartsList, kEvent, -1,
                    LineEdit{}},
        ReleaseCase{"PartOnTreeDoesNothing", true, DropTarget::Elsewhere, kEvent, -1, LineEdit{}},
        ReleaseCase{"LineOnCodeListMoves", false, DropTarget::CodeList, kEvent, 3,
                    LineEdit{Kind::MoveLine, kEvent, "", 1, 3}},
        ReleaseCase{"LineBelowLastItemMovesToEnd", false, DropTarget::CodeList, kEvent, 4,
                    LineEdit{Kind::MoveLine, kEvent, "", 1, 4}},
        ReleaseCase{"LineOutsideDeletes", false, DropTarget::Elsewhere, kEvent, -1,
                    LineEdit{Kind::DeleteLine, kEvent, "", 1, -1}},
        ReleaseCase{"LineOnPartsListDeletes", false, DropTarget::PartsList, kEvent, -1,
                    LineEdit{Kind::DeleteLine, kEvent, "", 1, -1}},
        ReleaseCase{"LineWithoutEventDoesNothing", false, DropTarget::Elsewhere, kNoEvent, -1,
                    LineEdit{}},
        ReleaseCase{"LineOnCodeListWithoutEventDoesNothing", false, DropTarget::CodeList, kNoEvent,
                    0, LineEdit{}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DragRelease, ReleaseWithoutDragDecidesNothing) {
  DragController drag;
  EXPECT_EQ(drag.release(DropTarget::CodeList, kEvent, 0), LineEdit{});
}

TEST(DragRelease, SecondReleaseAfterADragDecidesNothing) {
  DragController drag = lineDrag(0);
  EXPECT_EQ(drag.release(DropTarget::Elsewhere, kEvent, -1).kind, Kind::DeleteLine);
  EXPECT_EQ(drag.release(DropTarget::Elsewhere, kEvent, -1), LineEdit{});
}

TEST(DragAbandon, LostCaptureEndsTheDragWithoutEdit) {
  DragController drag = partDrag("WAIT");
  drag.pointerMoved(DropTarget::Elsewhere, kEvent);
  drag.abandon();
  EXPECT_EQ(drag.mode(), DragMode::None);
  EXPECT_EQ(drag.shownPicture(), DragPicture::ItemImage);
  EXPECT_TRUE(drag.draggedPart().empty());
  EXPECT_TRUE(drag.dragHint().empty());
  EXPECT_EQ(drag.release(DropTarget::CodeList, kEvent, 0), LineEdit{});
}

struct DeleteKeyCase {
  const char* name;
  int event;
  int mark;
  bool isCodeLine;
  LineEdit expected;
};

class DeleteKeyTest : public ::testing::TestWithParam<DeleteKeyCase> {};

TEST_P(DeleteKeyTest, DeleteKeyDeletesOnlyAMarkedCodeLine) {
  const DeleteKeyCase& c = GetParam();
  EXPECT_EQ(deleteKeyEdit(c.event, c.mark, c.isCodeLine), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    DeleteKey, DeleteKeyTest,
    ::testing::Values(DeleteKeyCase{"MarkedLine", kEvent, 2, true,
                                    LineEdit{Kind::DeleteLine, kEvent, "", 2, -1}},
                      DeleteKeyCase{"NoEvent", kNoEvent, 2, true, LineEdit{}},
                      DeleteKeyCase{"NoMark", kEvent, -1, true, LineEdit{}},
                      DeleteKeyCase{"Placeholder", kEvent, 0, false, LineEdit{}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velk7
