#pragma once

#include "Codes.h"
#include "SplashRules.h"

#include "TwipsWidget.h"

#include <vector>

namespace mosaiq {

// One tile of the splash: a filled rectangle without outline, placed in twips on the panel.
struct SplashTile {
    Color fill = 0x000000;
    TileRect rect;
    bool visible = false;
    friend bool operator==(const SplashTile&, const SplashTile&) = default;
};

// The splash window's frame (Panel): its background and the tiles, which it draws itself from the
// tile model rather than as widgets of their own. The labels are its children and lie above the
// tiles. Place and size are kept in twips.
class SplashPanel : public TwipsWidget {
    Q_OBJECT
public:
    explicit SplashPanel(QWidget* parent = nullptr);

    // The tiles, Bar(0) to Bar(count - 1). Element 0 is the pattern: it is never shown, and a new
    // element starts as a hidden copy of it as it is at that moment.
    std::vector<SplashTile> Bar;
    void AddTile();

    // Where tile i is drawn, in pixels of this widget.
    QRect TilePixels(int index) const;

signals:
    // Every time the panel is drawn, which is every time the window's client area is drawn.
    void Painted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr Color kBackColor = SplashPlaces::kPanelBack;
};

} // namespace mosaiq
