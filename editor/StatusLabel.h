#pragma once

#include <QLabel>

namespace mosaiq {

// The status line: one line of plain black text on the window's grey, cut with an ellipsis where
// it is wider than the label. Screen readers get the whole text. It takes no focus and lets the
// mouse through to the window beneath, so the strip it stands in behaves as the bare window did.
class StatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit StatusLabel(QWidget* parent = nullptr);

    // Shows `text`, cut to fit; nothing is redrawn when it is what the label holds already.
    void Show(const QString& text);
    const QString& FullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Fit();

    QString full_;
};

} // namespace mosaiq
