#include "report/recording_canvas.h"

#include <gtest/gtest.h>

#include "report/report_system.h"

namespace radevore::report {
namespace {

TEST(RecordingCanvas, KeepsCallsWithArgumentsPageAndFont) {
  RecordingCanvas canvas(4.0, 2.5);
  canvas.setInitialFont("Initial", 7);
  canvas.SetFont("Courier", 12);
  canvas.PrintAt(1.0, 2.0, "abc");
  canvas.NewPage();
  canvas.Rectangle(0.1, 0.2, 0.3, 0.4);
  canvas.SetPen(PenStyle::Solid, 2);

  ASSERT_EQ(canvas.ops(),
            (std::vector<QString>{"SetFont", "PrintAt", "NewPage", "Rectangle", "SetPen"}));
  const CanvasCall& print = canvas.calls()[1];
  EXPECT_EQ(print.numbers, (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(print.text, "abc");
  EXPECT_EQ(print.fontFace, "Courier");
  EXPECT_EQ(print.fontSize, 12);
  EXPECT_EQ(print.page, 1);
  EXPECT_EQ(canvas.calls()[2].page, 1);  // NewPage ends page 1
  EXPECT_EQ(canvas.calls()[3].page, 2);
  EXPECT_EQ(canvas.calls()[3].numbers, (std::vector<double>{0.1, 0.2, 0.3, 0.4}));
  EXPECT_EQ(canvas.calls()[4].ints, (std::vector<int>{int(PenStyle::Solid), 2}));
  EXPECT_EQ(canvas.page(), 2);
}

TEST(RecordingCanvas, SizeOfZeroOrBelowLeavesTheFont) {
  RecordingCanvas canvas;
  canvas.setInitialFont("Initial", 7);
  canvas.SetFont("Courier", 0);
  EXPECT_EQ(canvas.fontFace(), "Initial");
  EXPECT_EQ(canvas.fontSize(), 7);
  canvas.SetFont("Times", -1);
  EXPECT_EQ(canvas.fontFace(), "Initial");
  canvas.SetFont("Times", 9);
  EXPECT_EQ(canvas.fontFace(), "Times");
  EXPECT_EQ(canvas.fontSize(), 9);
  EXPECT_EQ(canvas.callsOf("SetFont").size(), 3u);
}

TEST(RecordingCanvas, PaperAndOrientationSetThePage) {
  RecordingCanvas canvas(8.5, 11.0);
  canvas.SetPaperSize(0, 4.0, 2.5);
  EXPECT_DOUBLE_EQ(canvas.PageWidth(), 4.0);
  EXPECT_DOUBLE_EQ(canvas.PageHeight(), 2.5);
  canvas.SetOrientation(Orientation::Landscape);
  EXPECT_DOUBLE_EQ(canvas.PageWidth(), 2.5);
  EXPECT_DOUBLE_EQ(canvas.PageHeight(), 4.0);
  canvas.SetPaperSize(9, 1.0, 1.0);  // a numbered paper keeps the custom size
  EXPECT_DOUBLE_EQ(canvas.PageHeight(), 4.0);
}

TEST(RecordingCanvas, ThrowsFromTheChosenCallWithoutRecordingIt) {
  RecordingCanvas canvas;
  canvas.throwAtCall(1, "Printer gone");
  canvas.MoveTo(0, 0);
  try {
    canvas.LineTo(1, 1);
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_STREQ(e.what(), "Printer gone");
  }
  canvas.LineTo(2, 2);  // only once
  EXPECT_EQ(canvas.ops(), (std::vector<QString>{"MoveTo", "LineTo"}));
  EXPECT_EQ(canvas.calls()[1].numbers, (std::vector<double>{2, 2}));

  canvas.throwOn("NewPage", "Out of paper");
  canvas.PrintAt(0, 0, "x");
  EXPECT_THROW(canvas.NewPage(), ReportError);
  EXPECT_EQ(canvas.page(), 1);
}

TEST(RecordingCanvas, HookRunsAfterEachCallAndMaySeeItRecorded) {
  RecordingCanvas canvas;
  std::vector<std::pair<QString, size_t>> seen;
  canvas.setAfterCallHook(
      [&](const CanvasCall& call) { seen.emplace_back(call.op, canvas.calls().size()); });
  canvas.MoveTo(0, 0);
  canvas.NewPage();
  EXPECT_EQ(seen, (std::vector<std::pair<QString, size_t>>{{"MoveTo", 1}, {"NewPage", 2}}));
}

}  // namespace
}  // namespace radevore::report
