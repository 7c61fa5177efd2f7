// Renders every styled widget kind in the light and the dark theme to
// gallery-light.png and gallery-dark.png in the given folder (default: the
// working directory). Runs offscreen; no display is needed.

#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

namespace
{

const char White[] = "#FFF";

// Style sheets react to the mouse only through this attribute, which a real
// pointer would set.
template <typename W> W *hovered(W *widget)
{
    widget->setAttribute(Qt::WA_UnderMouse, true);
    return widget;
}

QGroupBox *section(const QString &title, QLayout *layout)
{
    auto *box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

QWidget *buttons()
{
    auto *grid = new QGridLayout;
    const QStringList states = { "Обычная", "Наведение", "Нажата", "Включена", "По умолчанию", "Недоступна" };
    for (int column = 0; column < states.size(); ++column) {
        auto *caption = new QLabel(states.at(column));
        caption->setObjectName("subtext");
        grid->addWidget(caption, 0, column);

        auto *push = new QPushButton(column == 0 ? "Сохранить" : "Button");
        auto *tool = new QToolButton;
        tool->setText("Tool");
        StyleHelper::SetButtonIcon(push, ":/icons/folder-open.svg", White);
        switch (column) {
        case 1:
            hovered(push);
            hovered(tool);
            break;
        case 2:
            push->setDown(true);
            tool->setDown(true);
            break;
        case 3:
            push->setCheckable(true);
            push->setChecked(true);
            tool->setCheckable(true);
            tool->setChecked(true);
            break;
        case 4:
            push->setDefault(true);
            break;
        case 5:
            push->setEnabled(false);
            tool->setEnabled(false);
            break;
        }
        grid->addWidget(push, 1, column);
        grid->addWidget(tool, 2, column, Qt::AlignLeft);
    }

    auto *named = new QHBoxLayout;
    auto *action = new QPushButton("Новое обследование");
    action->setObjectName("actionButton");
    action->setIconSize(QSize(24, 24));
    action->setIcon(MediaHelper::iconColored(":/icons/amplifier.svg", White, "#000"));
    named->addWidget(action);
    auto *actionHover = hovered(new QPushButton("New examination"));
    actionHover->setObjectName("actionButton");
    named->addWidget(actionHover);
    auto *actionOff = new QPushButton("Недоступна");
    actionOff->setObjectName("actionButton");
    actionOff->setEnabled(false);
    named->addWidget(actionOff);
    named->addStretch(1);
    grid->addLayout(named, 3, 0, 1, states.size());

    auto *more = new QHBoxLayout;
    auto *positive = new QPushButton("Создать");
    positive->setObjectName("positive");
    more->addWidget(positive);
    auto *positiveOff = new QPushButton("Save");
    positiveOff->setObjectName("positive");
    positiveOff->setEnabled(false);
    more->addWidget(positiveOff);
    auto *negative = new QPushButton("Удалить");
    negative->setObjectName("negative");
    more->addWidget(negative);
    auto *accent = new QPushButton("Accent");
    accent->setObjectName("accentBackground");
    more->addWidget(accent);
    auto *link = new QPushButton("Скачать новую версию");
    link->setObjectName("linkButton");
    more->addWidget(link);
    more->addStretch(1);
    grid->addLayout(more, 4, 0, 1, states.size());

    auto *labels = new QHBoxLayout;
    for (const char *name : { "accent", "subtext", "graytext", "propertyHeaderLabel" }) {
        auto *label = new QLabel(QString::fromLatin1(name));
        label->setObjectName(QString::fromLatin1(name));
        labels->addWidget(label);
    }
    auto *plain = new QLabel("Обычный текст, курсив и <b>полужирный</b> <i>курсив</i>");
    labels->addWidget(plain);
    labels->addStretch(1);
    grid->addLayout(labels, 5, 0, 1, states.size());
    return section("Кнопки — buttons", grid);
}

QWidget *editors()
{
    auto *form = new QFormLayout;
    auto *line = new QLineEdit("Иванова Анна Сергеевна");
    form->addRow("Line edit", line);
    auto *placeholder = new QLineEdit;
    placeholder->setPlaceholderText("Введите идентификатор");
    form->addRow("Placeholder", hovered(placeholder));
    auto *lineOff = new QLineEdit("Недоступно");
    lineOff->setEnabled(false);
    form->addRow("Disabled", lineOff);

    auto *combo = new QComboBox;
    combo->addItems({ "Светлая", "Тёмная" });
    form->addRow("Combo box", combo);
    auto *comboHover = hovered(new QComboBox);
    comboHover->setEditable(true);
    comboHover->addItem("Editable — редактируемый");
    form->addRow("Editable, hover", comboHover);
    auto *comboOff = new QComboBox;
    comboOff->addItem("Не отображать");
    comboOff->setEnabled(false);
    form->addRow("Disabled", comboOff);

    auto *spin = new QSpinBox;
    spin->setRange(0, 300);
    spin->setValue(172);
    spin->setSuffix(" см");
    form->addRow("Spin box", spin);
    auto *doubleSpin = new QDoubleSpinBox;
    doubleSpin->setValue(36.6);
    form->addRow("Double spin", doubleSpin);
    auto *date = new QDateEdit(QDate(1984, 3, 5));
    date->setCalendarPopup(true);
    form->addRow("Date edit", date);

    auto *checks = new QHBoxLayout;
    auto *unchecked = new QCheckBox("Нет");
    checks->addWidget(unchecked);
    auto *checked = new QCheckBox("Да");
    checked->setChecked(true);
    checks->addWidget(checked);
    auto *partly = new QCheckBox("Частично");
    partly->setTristate(true);
    partly->setCheckState(Qt::PartiallyChecked);
    checks->addWidget(partly);
    auto *checkOff = new QCheckBox("Недоступно");
    checkOff->setChecked(true);
    checkOff->setEnabled(false);
    checks->addWidget(checkOff);
    checks->addStretch(1);
    form->addRow("Check boxes", checks);

    auto *radios = new QHBoxLayout;
    auto *left = new QRadioButton("Правша");
    left->setChecked(true);
    radios->addWidget(left);
    radios->addWidget(new QRadioButton("Левша"));
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setValue(40);
    radios->addWidget(slider, 1);
    form->addRow("Radio, slider", radios);

    auto *text = new QTextEdit("Комментарий к записи: фоновая ЭЭГ, открытые и закрытые глаза.");
    text->setFixedHeight(56);
    form->addRow("Text edit", text);
    return section("Поля ввода — editors", form);
}

QWidget *table()
{
    auto *layout = new QVBoxLayout;
    auto *grid = new QTableWidget(9, 4);
    grid->setObjectName("sortableTable");
    grid->setHorizontalHeaderLabels({ "Фамилия", "Имя", "Дата рождения", "Город" });
    grid->verticalHeader()->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setIconSize(QSize(20, 20));
    const char *rows[][4] = {
        { "Иванова", "Анна", "05.03.1984", "Москва" },
        { "Петров", "Сергей", "12.11.1975", "Казань" },
        { "Smith", "John", "01.02.1990", "London" },
        { "Сидоров", "Пётр", "23.07.2001", "Тверь" },
        { "Кузнецова", "Елена", "14.09.1968", "Омск" },
        { "Орлов", "Денис", "30.01.1999", "Пермь" },
        { "Волкова", "Мария", "08.08.2008", "Самара" },
        { "Фёдоров", "Илья", "17.04.1955", "Уфа" },
        { "Зайцева", "Юлия", "02.12.1993", "Курск" },
    };
    const char *sexIcons[][2] = { { ":/resources/images/gender-female.svg", "#915" },
        { ":/resources/images/gender-male.svg", "#159" },
        { ":/resources/images/gender-unspecified.svg", "#999" } };
    for (int row = 0; row < 9; ++row) {
        for (int column = 0; column < 4; ++column)
            grid->setItem(row, column, new QTableWidgetItem(QString::fromUtf8(rows[row][column])));
        const auto &sex = sexIcons[row % 3];
        grid->item(row, 0)->setIcon(MediaHelper::iconColored(sex[0], sex[1], "#000"));
    }
    grid->horizontalHeader()->setSortIndicatorShown(true);
    grid->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    grid->resizeColumnsToContents();
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->selectRow(1);
    grid->setFixedHeight(190);
    grid->setMinimumWidth(420);
    layout->addWidget(grid);
    return section("Таблица — sortableTable", layout);
}

QWidget *menus(QMenuBar *bar)
{
    auto *layout = new QHBoxLayout;
    auto *file = bar->addMenu("Файл");
    bar->addMenu("Вид");
    bar->addMenu("Справка");
    hovered(bar);

    auto *menu = new QMenu;
    auto add = [menu](const char *text, const char *icon) {
        QAction *action = menu->addAction(QString::fromUtf8(text));
        StyleHelper::Instance()->setMenuActionIcon(action, QString::fromLatin1(icon), White);
        return action;
    };
    add("Открыть запись", ":/icons/folder-open.svg");
    menu->addSeparator();
    QAction *selected = add("Новый пациент", ":/icons/plus.svg");
    add("Обновить базу", ":/icons/refresh.svg")->setEnabled(false);
    menu->addSeparator();
    add("Настройки", ":/icons/settings.svg");
    add("О программе", ":/icons/information.svg");
    QAction *check = menu->addAction("Отображение: справа");
    check->setCheckable(true);
    check->setChecked(true);
    menu->addMenu("Таблица пациентов");
    file->addActions(menu->actions());
    // A popup is a window of its own; shown as a child it is painted in place.
    menu->setWindowFlags(Qt::Widget);
    menu->setFixedSize(menu->sizeHint());
    menu->setActiveAction(selected);
    layout->addWidget(menu, 0, Qt::AlignTop);

    auto *rowMenu = new QMenu;
    for (auto entry :
        { std::make_pair("Открыть файл", ":/icons/play.svg"), std::make_pair("Изменить", ":/icons/edit.svg"),
            std::make_pair("Показать в проводнике", ":/icons/folder.svg"),
            std::make_pair("Удалить", ":/icons/delete.svg") }) {
        QAction *action = rowMenu->addAction(QString::fromUtf8(entry.first));
        StyleHelper::Instance()->setMenuActionIcon(action, QString::fromLatin1(entry.second), White);
    }
    rowMenu->setWindowFlags(Qt::Widget);
    rowMenu->setFixedSize(rowMenu->sizeHint());
    layout->addWidget(rowMenu, 0, Qt::AlignTop);

    auto *marks = new QVBoxLayout;
    for (const char *icon : { ":/icons/play.svg", ":/icons/circle_cross.svg", ":/icons/translate.svg" }) {
        auto *label = new QLabel;
        label->setFixedSize(20, 20);
        StyleHelper::SetLabelIcon(label, QString::fromLatin1(icon), White);
        marks->addWidget(label);
    }
    marks->addStretch(1);
    layout->addLayout(marks);
    layout->addStretch(1);
    return section("Меню — menus", layout);
}

QWidget *tabs()
{
    auto *layout = new QVBoxLayout;
    auto *plain = new QTabWidget;
    plain->addTab(new QLabel("  Основное"), "Основное");
    plain->addTab(new QWidget, "Физические данные");
    plain->addTab(new QWidget, "Адрес");
    plain->setTabEnabled(2, false);
    plain->setFixedHeight(70);
    layout->addWidget(plain);
    auto *normal = new QTabWidget;
    normal->setObjectName("normalTabWidget");
    normal->addTab(new QLabel("  normalTabWidget"), "Общее");
    normal->addTab(new QWidget, "Записи");
    normal->setFixedHeight(70);
    layout->addWidget(normal);

    auto *tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    auto *root = new QTreeWidgetItem(tree, { "Данные пациента" });
    new QTreeWidgetItem(root, { "EEG_2024_03_05_142530" });
    new QTreeWidgetItem(tree, { "Закрытая ветвь" });
    new QTreeWidgetItem(tree->topLevelItem(1), { "скрыто" });
    root->setExpanded(true);
    tree->setFixedHeight(80);
    layout->addWidget(tree);
    return section("Вкладки и дерево — tabs, tree", layout);
}

QWidget *scrollBars()
{
    auto *layout = new QHBoxLayout;
    auto makeBar = [](Qt::Orientation orientation, const char *name) {
        auto *bar = new QScrollBar(orientation);
        bar->setRange(0, 100);
        bar->setValue(30);
        bar->setPageStep(30);
        bar->setObjectName(QString::fromLatin1(name));
        if (orientation == Qt::Vertical)
            bar->setFixedHeight(140);
        else
            bar->setFixedWidth(180);
        return bar;
    };
    layout->addWidget(makeBar(Qt::Vertical, ""));
    layout->addWidget(makeBar(Qt::Vertical, "scrollWithButtons"));
    auto *horizontal = new QVBoxLayout;
    horizontal->addWidget(makeBar(Qt::Horizontal, ""));
    horizontal->addWidget(makeBar(Qt::Horizontal, "scrollWithButtons"));
    auto *list = new QListWidget;
    for (int i = 1; i <= 12; ++i)
        list->addItem(QString("Запись № %1").arg(i));
    list->setCurrentRow(2);
    list->setFixedSize(180, 80);
    horizontal->addWidget(list);
    layout->addLayout(horizontal);
    layout->addStretch(1);
    return section("Полосы прокрутки — scroll bars", layout);
}

QWidget *card()
{
    auto *panel = new QWidget;
    panel->setObjectName("panelPatient");
    auto *outer = new QVBoxLayout(panel);
    auto *form = new QWidget;
    form->setObjectName("uneditable");
    auto *grid = new QGridLayout(form);
    auto addRow = [grid](const char *caption, QWidget *editor) {
        auto *header = new QLabel(QString::fromUtf8(caption));
        header->setObjectName("propertyHeaderLabel");
        const int row = grid->rowCount();
        grid->addWidget(header, row, 0);
        grid->addWidget(editor, row, 1, Qt::AlignLeft);
        editor->setEnabled(false);
    };
    addRow("Идентификатор", new QLineEdit("P-000271"));
    addRow("Фамилия", new QLineEdit("Иванова"));
    auto *birth = new QDateEdit(QDate(1984, 3, 5));
    birth->setCalendarPopup(true);
    addRow("Дата рождения", birth);
    auto *sex = new QComboBox;
    sex->addItem("Женский");
    addRow("Пол", sex);
    auto *height = new QSpinBox;
    height->setRange(0, 300);
    height->setValue(168);
    height->setSuffix(" см");
    addRow("Рост", height);
    auto *outpatient = new QCheckBox("Амбулаторно");
    outpatient->setChecked(true);
    addRow("", outpatient);
    outer->addWidget(form);
    auto *layout = new QVBoxLayout;
    layout->addWidget(panel);
    return section("Карточка пациента — uneditable, panelPatient", layout);
}

QWidget *calendar()
{
    auto *layout = new QVBoxLayout;
    auto *widget = new QCalendarWidget;
    widget->setSelectedDate(QDate(2024, 3, 5));
    widget->setFixedSize(320, 220);
    layout->addWidget(widget);
    return section("Календарь — calendar", layout);
}

// Pop-ups are windows of their own: the page keeps room for them, and they are
// painted into that room after the page.
struct Popups {
    QWidget *room = nullptr;
    QComboBox *combo = nullptr;
};

Popups popups(QVBoxLayout *column)
{
    Popups result;
    result.room = new QWidget;
    result.room->setFixedSize(440, 130);
    auto *layout = new QVBoxLayout;
    layout->addWidget(result.room);
    column->addWidget(section("Всплывающие — tool tip, combo list", layout));
    // Kept out of sight: only its list is shown.
    result.combo = new QComboBox(result.room);
    result.combo->addItems({ "Справа", "По центру", "Не отображать" });
    result.combo->setCurrentIndex(1);
    result.combo->setGeometry(220, 0, 200, 24);
    result.combo->hide();
    return result;
}

QImage withPopups(QWidget *page, const Popups &popups)
{
    QImage image = page->grab().toImage();
    QPainter painter(&image);
    const QPoint room = popups.room->mapTo(page, QPoint(0, 0));

    QToolTip::showText(
        page->mapToGlobal(room), "Подсказка: идентификатор пациента должен быть уникальным", popups.room);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->inherits("QTipLabel") && window->isVisible())
            painter.drawPixmap(room, window->grab());
    }
    QToolTip::hideText();

    popups.combo->show();
    popups.combo->showPopup();
    QApplication::processEvents();
    QWidget *list = popups.combo->view()->window();
    painter.drawPixmap(room + QPoint(220, 36), list->grab());
    popups.combo->hidePopup();
    popups.combo->hide();
    return image;
}

bool render(QWidget *page, const Popups &popups, const QString &file)
{
    // Let the new style sheet reach every widget before painting.
    QApplication::processEvents();
    page->resize(page->sizeHint());
    QApplication::processEvents();
    if (!withPopups(page, popups).save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }

    if (!StyleHelper::registerFontsAndStyles())
        std::fprintf(stderr, "some fonts were not registered\n");
    StyleHelper *style = StyleHelper::Instance();
    style->selectTheme("light");

    QWidget page;
    style->setStyledBackground(&page, "--z-window-bg", Qt::transparent);
    auto *root = new QVBoxLayout(&page);
    root->setContentsMargins(0, 0, 0, 8);
    auto *bar = new QMenuBar;
    root->setMenuBar(bar);

    auto *columns = new QHBoxLayout;
    columns->setContentsMargins(8, 8, 8, 0);
    auto *left = new QVBoxLayout;
    left->addWidget(buttons());
    left->addWidget(editors());
    const Popups shown = popups(left);
    left->addStretch(1);
    auto *middle = new QVBoxLayout;
    middle->addWidget(table());
    middle->addWidget(menus(bar));
    middle->addWidget(scrollBars());
    middle->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(card());
    right->addWidget(tabs());
    right->addWidget(calendar());
    right->addStretch(1);
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right);
    root->addLayout(columns);

    page.show();
    bool ok = render(&page, shown, folder + "/gallery-light.png");
    style->selectTheme("dark");
    ok = render(&page, shown, folder + "/gallery-dark.png") && ok;
    return ok ? 0 : 1;
}
