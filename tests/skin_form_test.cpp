// The skinned window offscreen: shape, slots, glyph drawing and the
// notifications with the ID under the mouse.
#include "skins/skin_form.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "skins/skin_files.h"
#include "skins/skin_painter.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;

class SkinFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("skinform-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    // 20 x 10 mask: magenta outside a block, one pixel one step off magenta.
    QImage mask(20, 10, QImage::Format_RGB32);
    mask.fill(QColor(255, 0, 255));
    for (int y = 2; y < 8; ++y)
      for (int x = 2; x < 18; ++x) mask.setPixelColor(x, y, Qt::black);
    mask.setPixelColor(0, 0, QColor(254, 0, 255));
    save(mask, "mask.bmp");
    QImage face(20, 10, QImage::Format_RGB32);
    face.fill(QColor(10, 20, 30));
    save(face, "face.bmp");
    // Numbers strip: 11 cells of 2 x 3, cell i in the colour (i*20, 0, 0).
    QImage numbers(22, 3, QImage::Format_RGB32);
    for (int i = 0; i < 11; ++i)
      for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 3; ++y) numbers.setPixelColor(i * 2 + x, y, QColor(i * 20, 0, 0));
    save(numbers, "numbers.bmp");
    std::ofstream(dir_ / "skin.ini")
        << "[Version]\nVer=150\n[BITMAPINFO]\nMaskBitmap=mask.bmp\nMouseUpBitmap=face.bmp\n"
           "NumbersBitmap=numbers.bmp\n[HOTAREAINFO]\nCount=1\n1=BUTTON_X, 4, 4, 4, 4, Exit\n"
           "[DISPLAYINFO]\nCount=1\n1=TEXT_NUM, Arial, FALSE, FALSE, 8, $0, 4, 5, Number\n";
    window_.resize(100, 100);
    form_ = new TSkinForm(&window_);
    form_->KeyColor = kClFuchsia;
  }
  void TearDown() override { fs::remove_all(dir_); }
  void save(const QImage& image, const char* name) {
    ASSERT_TRUE(image.save(QString::fromStdString((dir_ / name).string()), "BMP"));
  }
  std::string load() { return form_->load_skin_file((dir_ / "skin.ini").string()); }

  fs::path dir_;
  QWidget window_;
  TSkinForm* form_ = nullptr;
};

TEST_F(SkinFormTest, ShapesTheWindowFromTheMask) {
  QSignalSpy changed(form_, &TSkinForm::OnSkinChanged);
  ASSERT_EQ(load(), "");
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(window_.size(), QSize(20, 10));
  EXPECT_TRUE(window_.windowFlags() & Qt::FramelessWindowHint);
  const QRegion region = window_.mask();
  EXPECT_TRUE(region.contains(QPoint(2, 2)));
  EXPECT_TRUE(region.contains(QPoint(0, 0)));  // one step off the key colour stays
  EXPECT_FALSE(region.contains(QPoint(1, 0)));
  EXPECT_FALSE(region.contains(QPoint(19, 9)));
  EXPECT_EQ(region.boundingRect(), QRect(0, 0, 18, 8));
}

TEST_F(SkinFormTest, NumberSlotDrawsZeroCellsForOtherCharacters) {
  ASSERT_EQ(load(), "");
  form_->SetDisplayText("TEXT_NUM", "7 n");
  const QImage shot = form_->grab().toImage();
  EXPECT_EQ(shot.pixelColor(4, 5), QColor(140, 0, 0));  // "7"
  EXPECT_EQ(shot.pixelColor(6, 5), QColor(200, 0, 0));  // " "
  EXPECT_EQ(shot.pixelColor(8, 5), QColor(0, 0, 0));    // "n" uses the 0 cell
  EXPECT_EQ(shot.pixelColor(1, 1), QColor(10, 20, 30));

  const QImage before = form_->grab().toImage();
  form_->SetDisplayText("TEXT_NOWHERE", "xyz");  // an unknown slot changes nothing
  EXPECT_EQ(form_->grab().toImage(), before);
}

TEST_F(SkinFormTest, MouseNotificationsCarryTheId) {
  ASSERT_EQ(load(), "");
  window_.show();
  QSignalSpy down(form_, &TSkinForm::OnMouseDownNotify);
  QSignalSpy up(form_, &TSkinForm::OnMouseUpNotify);
  QTest::mousePress(form_, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(form_, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_EQ(down.count(), 1);
  EXPECT_EQ(down.at(0).at(0).toString(), "BUTTON_X");
  ASSERT_EQ(up.count(), 1);
  EXPECT_EQ(up.at(0).at(0).toString(), "BUTTON_X");
  EXPECT_EQ(form_->hot_area("BUTTON_X")->hint, "Exit");
  EXPECT_EQ(form_->hot_area_id(0), "BUTTON_X");
}

TEST_F(SkinFormTest, FailedLoadKeepsTheOldSkin) {
  ASSERT_EQ(load(), "");
  fs::remove(dir_ / "face.bmp");
  const std::string error = load();
  EXPECT_NE(error.find("face.bmp"), std::string::npos) << error;
  EXPECT_EQ(window_.size(), QSize(20, 10));
  EXPECT_NE(form_->skin(), nullptr);
}

TEST_F(SkinFormTest, BuiltInSkinLoads) {
  ASSERT_EQ(form_->load_default_skin(), "");
  EXPECT_EQ(window_.size(), QSize(338, 368));
  EXPECT_EQ(form_->skin()->hot_areas.size(), 10u);
  EXPECT_EQ(form_->skin()->displays.size(), 29u);
  EXPECT_FALSE(window_.mask().contains(QPoint(0, 0)));  // rounded corners
  EXPECT_TRUE(window_.mask().contains(QPoint(169, 184)));
}

TEST(BuiltInSkinText, ALongWindTextStopsShortOfTheHeatIndex) {
  const SkinResult loaded = load_builtin_skin({});
  ASSERT_TRUE(loaded.skin);
  auto slot = [&](const std::string& id) {
    for (const DisplaySlot& d : loaded.skin->displays)
      if (d.id == id) return d;
    ADD_FAILURE() << "no slot " << id;
    return DisplaySlot{};
  };
  const DisplaySlot wind = slot("TEXT_WIND");
  const DisplaySlot heat = slot("TEXT_HEATINDEX");
  // The places and sizes of the skin's own table.
  EXPECT_EQ(wind.size, 10);
  EXPECT_EQ(heat.left, 240);
  EXPECT_EQ(slot("TEXT_WINDCHILL").left, 240);
  // MS Sans Serif is narrower than Arial: mapped to a narrow face, the
  // longest usual wind text ends before the heat index begins.
  EXPECT_EQ(mapped_family(wind.font_name), "Liberation Sans Narrow");
  const QFontMetrics metrics(slot_font(wind));
  EXPECT_LT(wind.left + metrics.horizontalAdvance(QStringLiteral("FROM THE SOUTH @ 10MPH")), heat.left);
}

}  // namespace
}  // namespace cirrodex
