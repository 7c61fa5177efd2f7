#pragma once

#include <QMainWindow>

// The program's only top-level window. The entry function builds it and calls initialize
// once; initialize builds everything and shows it.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // False when it has run before, or when the program cannot go on.
    bool initialize();
    // The window after initialize, for those that answer on its behalf (the exchange).
    static MainWindow *Instance();

    // Refuses closing for a while after a patient removal, so that a click meant for the
    // confirmation cannot end the program while the list reloads. Each call restarts the period.
    void blockClosing();
    bool isCloseBlocked() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Data folders, and the database file from the empty template on a first start. False
    // when no database file could be made; the user has been told.
    bool prepareDatabaseFile();
    // Nothing shows the patients of a database that cannot be used (an empty
    // list would read as "all patients gone"): an error box with its path and
    // the driver's reason offers to try again or quit. False on quit.
    bool ensureDatabaseUsable();
    // Every change the database refuses is put back; the user hears of it in
    // one warning per edit, naming each field and the reason.
    void watchRefusedWrites();
    void showRefusedWrites();

    QStringList refusedWrites;

    // Closing is refused until then (clock milliseconds).
    qint64 closeBlockedUntil = 0;
    bool initialized = false;
};
