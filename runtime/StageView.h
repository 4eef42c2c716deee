#pragma once

#include <cstdint>
#include <optional>

namespace runtime {

// How the stage is scaled into the host's view: show-all fits it whole, no-border fills
// the view and crops, exact-fit stretches it, no-scale keeps its size.
enum class StageScaleMode : std::uint8_t { ShowAll, NoBorder, ExactFit, NoScale };

// Where the stage sits in a view it does not fill: the edges named, centred on an axis
// that names neither (or both: left and top win).
namespace StageAlign {
inline constexpr std::uint8_t Left = 1;
inline constexpr std::uint8_t Top = 2;
inline constexpr std::uint8_t Right = 4;
inline constexpr std::uint8_t Bottom = 8;
} // namespace StageAlign

// The stage as the host shows it and as scripts set it (Stage.scaleMode, align,
// showMenu, displayState). The host tells the view's size and starts the scale mode
// from its own setting; it places the stage by the scale mode and the alignment, which
// scripts may change, and notices a change by the version.
class StageView {
public:
    StageScaleMode scaleMode() const { return m_scaleMode; }
    void setScaleMode(StageScaleMode mode) { change(m_scaleMode, mode); }
    std::uint8_t align() const { return m_align; }
    void setAlign(std::uint8_t bits) { change(m_align, std::uint8_t(bits & 0x0f)); }
    bool showMenu() const { return m_showMenu; }
    void setShowMenu(bool show) { change(m_showMenu, show); }
    bool fullScreen() const { return m_fullScreen; }
    void setFullScreen(bool full) { change(m_fullScreen, full); }

    // The view the stage is shown in, in pixels; unknown until the host tells it.
    void setViewport(double widthPixels, double heightPixels);
    bool hasViewport() const { return m_viewportWidth > 0 && m_viewportHeight > 0; }

    // The stage's size as scripts see it (Stage.width, Stage.height): the movie's own,
    // or the view's with no-scale.
    double width(double movieWidthPixels) const;
    double height(double movieHeightPixels) const;

    std::uint64_t version() const { return m_version; }

private:
    template <typename T> void change(T& field, T value)
    {
        if (field != value) {
            field = value;
            ++m_version;
        }
    }

    StageScaleMode m_scaleMode = StageScaleMode::ShowAll;
    std::uint8_t m_align = 0;
    bool m_showMenu = true;
    bool m_fullScreen = false;
    double m_viewportWidth = 0;
    double m_viewportHeight = 0;
    std::uint64_t m_version = 0;
};

} // namespace runtime
