// The window as designed: its settings and its controls as they are before any of the
// program's procedures runs.
#include "DesignResources.h"
#include "frmMain.h"
#include "windowing/Fonts.h"

windowing::DefaultInstance<frmMain> frmMainInstance;

namespace {

constexpr QColor kBackground(0x13, 0x14, 0x1a);

} // namespace

frmMain::frmMain()
    : Form(QStringLiteral("frmMain")), picMin(*this, QStringLiteral("picMin")),
      picX(*this, QStringLiteral("picX")),
      // The player starts with its stored settings: play, loop, high quality, show all, menu.
      ShockwaveFlash(*this, QStringLiteral("ShockwaveFlash")),
      File1(*this, QStringLiteral("File1")), lblIndex(*this, QStringLiteral("lblIndex"))
{
    setBackColor(kBackground);
    setPicture(ui::design::banner());
    window()->setWindowIcon(ui::design::windowIcon());
    setFont(windowing::designFont({QStringLiteral("Tahoma"), 9}));
    setStartUpPosition(windowing::StartUpPosition::CenterScreen);
    Move(0, 0, 4710, 2010);

    const QCursor hand = ui::design::handCursor();
    picMin.Move(3990, 100, 240, 240);
    picMin.setTabIndex(4);
    picMin.setPicture(ui::design::minimiseGlyph());
    picMin.setMouseIcon(hand);

    picX.Move(4335, 100, 240, 240);
    picX.setTabIndex(3);
    picX.setPicture(ui::design::closeGlyph());
    picX.setMouseIcon(hand);

    ShockwaveFlash.Move(1380, 585, 1410, 1200);
    ShockwaveFlash.setTabIndex(2);

    File1.Move(255, 960, 690, 720);
    File1.setTabIndex(1);
    File1.setVisible(false);

    windowing::Label& label = lblIndex[0];
    label.setFont(windowing::designFont({QStringLiteral("Tahoma"), 9, true, false, true}));
    label.setForeColor(kSilver);
    label.setMouseIcon(hand);
    label.setAutoSize(true);
    label.Move(255, 570);
    label.setCaption(QStringLiteral("Index"));
    label.setTabIndex(0);

    // The events the window handles; every other event of it and its controls is ignored.
    picMin.Click = [this] { picMin_Click(); };
    picX.Click = [this] { picX_Click(); };
    lblIndex.Click = [this](std::int16_t index) { lblIndex_Click(index); };
    lblIndex.MouseMove = [this](std::int16_t index, const windowing::MouseEventArgs& e) {
        lblIndex_MouseMove(index, e.button, e.shift, e.x, e.y);
    };
}

frmMain::~frmMain() = default;
