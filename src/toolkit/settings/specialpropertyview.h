#pragma once

#include "toolkit/settings/basepropertyview.h"

class QFileDialog;
class QPushButton;

// A path: a text field and an "Open" button with a file chooser ("PickFile",
// the argument after ":" being a name filter such as "Recordings (*.edf)") or
// a folder chooser ("PickFolder").
class SpecialPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit SpecialPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    // Opens the chooser without blocking; a chosen path is shown and written.
    QFileDialog *openChooser();

protected:
    void showValue(const QVariant &value) override;

private:
    bool folder = false;
    QPushButton *chooserButton = nullptr;
};
