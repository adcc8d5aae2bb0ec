// DMAbout: the borderless about window. It shows the version the clock
// stored, moves when its background is dragged with the left button, and
// closes on a click on the "X" in its top-right corner (or Escape). It writes
// nothing.
#pragma once

#include "aboutdrag.h"

#include <QImage>
#include <QWidget>

class QLabel;

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // The drag under way, in twips (for tests).
    const AboutDrag& drag() const { return m_drag; }

    QLabel* lblVersion;
    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label4;
    QWidget* Line1;
    QLabel* Label2;
    QWidget* Image1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AboutDrag m_drag;
    QImage m_picture;
};
