// The movie list: one label for every movie of the program's folder, in a column
// under the banner, the window sized to it and centred; the label under the pointer
// highlighted.
#include "frmMain.h"
#include "support/mPathHelpers.h"
#include "windowing/Application.h"
#include "windowing/Checked.h"
#include "windowing/Screen.h"

using namespace windowing;

namespace {

constexpr float kListWidth = 4740;
constexpr double kEntryGap = 90;
constexpr double kBottomMargin = 300;

} // namespace

void frmMain::LoadMovieList()
{
    ClearMovieList();
    File1.setPath(App.Path());
    File1.setPattern(QStringLiteral("*.swf"));
    File1.Refresh();
    if (File1.ListCount() <= 0)
        return;

    const std::int16_t last = sub16(File1.ListCount(), 1);
    for (std::int32_t i = 0; i <= last; i = add32(i, 1)) {
        const std::int16_t index = narrow16(i);
        if (i > 0)
            lblIndex.Load(index);
        lblIndex[index].setCaption(mPathHelpers::FileTitle(File1.List(index)));
        if (i > 0) {
            const Label& previous = lblIndex[narrow16(sub32(i, 1))];
            const float top = checkSingle(double(previous.Height()) + previous.Top() + kEntryGap);
            lblIndex[index].Move(lblIndex[0].Left(), top);
        }
        lblIndex[index].setVisible(true);
        QString folder = File1.Path();
        lblIndex[index].setTag(mPathHelpers::AddBackslash(folder) + File1.List(index));
    }
    FitListWindow();
}

void frmMain::ClearMovieList()
{
    std::int16_t i = sub16(lblIndex.Count(), 1);
    while (i >= 1) {
        lblIndex.Unload(i);
        i = sub16(i, 1);
    }
    lblIndex[i].setVisible(false);
}

void frmMain::HighlightEntry(std::int32_t Index)
{
    const std::int16_t last = sub16(lblIndex.Count(), 1);
    for (std::int32_t i = 0; i <= last; i = add32(i, 1))
        lblIndex[narrow16(i)].setForeColor(kSilver);
    if (Index >= 0)
        lblIndex[narrow16(Index)].setForeColor(kCyan);
}

void frmMain::FitListWindow()
{
    setWidth(kListWidth);
    const Label& lastEntry = lblIndex[sub16(lblIndex.Count(), 1)];
    setHeight(checkSingle(double(lastEntry.Height()) + lastEntry.Top() + kBottomMargin));
    const float screenWidth = Screen.Width();
    const float width = Width();
    const float screenHeight = Screen.Height();
    const float height = Height();
    Move(checkSingle(divide(double(screenWidth) - width, 2.0)),
         checkSingle(divide(double(screenHeight) - height, 2.0)));
}

void frmMain::lblIndex_MouseMove(std::int16_t Index, std::int16_t, std::int16_t, float, float)
{
    HighlightEntry(Index);
}
