#pragma once

#include <QList>
#include <QObject>

class KestaSettings;
class PatientEditor;
class QSplitter;
class QVBoxLayout;
class QWidget;

// Where the patient card sits, as the card view setting says (on tabs in the right-hand
// panel, as a list in the middle pane, or nowhere), and how the splitter shares the window
// between the panes (SplitterSizes), stored as the user drags it.
class CardPlacement : public QObject
{
    Q_OBJECT
public:
    // Builds the two places the card can take: the middle pane and the right-hand panel
    // ("panelPatient"). window: whose width the stored sizes are scaled to.
    CardPlacement(KestaSettings *settings, PatientEditor *card, QWidget *window);

    QWidget *centerPane() const { return center; }
    QWidget *rightPanel() const { return panel; }

    // Follows the setting and the splitter from now on, and places the card now.
    void follow(QSplitter *splitter);
    void applyCardView();

    // The splitter sizes for a window of this width from the stored text: three parts, the
    // middle one 0 unless the card is in the centre, scaled to the width. Stored values that
    // add up to nothing give the shown panes equal shares; nothing stored gives 2:2:3.
    static QList<int> splitterSizes(const QString &stored, bool cardInCenter, int width);

private:
    void saveSplitterSizes();
    void applySplitterSizes();

    KestaSettings *settings;
    PatientEditor *card;
    QWidget *window;
    QWidget *center;
    QVBoxLayout *centerLayout;
    QWidget *panel;
    QVBoxLayout *panelLayout;
    QSplitter *splitter = nullptr;
};
