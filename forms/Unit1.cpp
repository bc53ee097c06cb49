#include "forms/Unit1.h"

#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "forms/application.h"
#include "forms/data_files.h"
#include "forms/export.h"
#include "forms/file_chooser.h"
#include "forms/number_locale.h"
#include "forms/settings.h"
#include "forms/shell.h"
#include "forms/window_helpers.h"
#include "forms/workbook_history.h"
#include "model/chart_scale.h"
#include "model/clipboard_block.h"
#include "model/estimation.h"
#include "model/observation_file.h"
#include "model/statistics.h"

#include <QCategoryAxis>
#include <QChart>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineSeries>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QValueAxis>
#include <QWindow>

#include <algorithm>
#include <stdexcept>

TForm1* Form1 = nullptr;

namespace {

// As many year labels as fit under the chart side by side.
constexpr std::size_t kMaxYearLabels = 8;

const QString kObservationFileFilter = QStringLiteral("Текстовые документы (*.txt)");

// The page on the method that "О программе" opens: the file shipped with the
// program, looked up like the instruction document, or a web address when a
// packager points it at a copy on the web (cmake -DCOBB_METHOD_PAGE=https://…).
const QString kMethodPage = QStringLiteral(COBB_METHOD_PAGE);

QUrl MethodPageUrl()
{
    QUrl address(kMethodPage);
    if (!address.isRelative())
        return address;
    const QString path = data_files::Find(kMethodPage);
    if (path.isEmpty())
        throw std::runtime_error(QStringLiteral("Не найдена страница о методе «%1». Искали:\n%2")
                                     .arg(kMethodPage, data_files::Candidates(kMethodPage).join('\n'))
                                     .toStdString());
    return QUrl::fromLocalFile(path);
}

// Year labels under a chart: every few years of a long series, so that they stay readable.
void SetYearLabels(QCategoryAxis* years, const std::vector<std::string>& labels)
{
    for (const QString& label : years->categoriesLabels())
        years->remove(label);
    const std::size_t labelStep =
        std::max<std::size_t>(1, (labels.size() + kMaxYearLabels - 1) / kMaxYearLabels);
    for (std::size_t i = 0; i < labels.size(); i += labelStep) {
        // Category labels must be unique; a repeated year gets invisible padding.
        QString label = QString::fromStdString(labels[i]);
        while (years->categoriesLabels().contains(label))
            label += QChar(0x200B);
        years->append(label, static_cast<double>(i));
    }
    years->setRange(0, static_cast<qreal>(std::max<std::size_t>(2, labels.size()) - 1));
}

void ShowCaption(QLabel* label, const std::string& caption)
{
    label->setText(QString::fromStdString(caption));
    // The label grows with its caption, so that its background covers just the text.
    label->adjustSize();
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), alfa(m_book.alfa), A(m_book.A), m_history(new WorkbookHistory(m_book, this))
{
    setupUi(this);
    setUpWindow();
    setUpToolbar();
    setUpTables();
    setUpChart();
    setUpMenuBar();

    setUpStatisticsPage();
    setUpResidualPage();
    setUpExports();
    setUpShortcuts();
    // The first data row shows its number before the count is first changed.
    model::CountRule(m_book.countText, {&m_book.observations, &m_book.calculation});
    showWorkbook();
}

TForm1::~TForm1()
{
    // The grids show the workbook's tables: they must go before the workbook does.
    delete takeCentralWidget();
}

void TForm1::setUpWindow()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    // On a screen smaller than the window (a laptop at 125 %) the client area scrolls inside a window that
    // fits.
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(takeCentralWidget());
    setCentralWidget(scroller);
    // Moving the client area polishes its styled widgets again, and the captions
    // in the group boxes lose the bold font they inherit from them.
    for (QGroupBox* box : {GroupBox2, GroupBox1})
        for (QLabel* label : box->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            label->setFont(box->font());
    setFont(WindowFont());
    ClientArea->setFixedSize(872, 629);
    Label1->lower();

    UpDown1->setOrientation(Qt::Horizontal);
    UpDown1->setRange(0, model::kMaxObservationCount);
    UpDown1->setPosition(1);
    UpDown1->setAssociate(LabeledEdit1);
    connect(LabeledEdit1, &QLineEdit::textChanged, this, Reporting(this, &TForm1::LabeledEdit1Change));
    connect(m_history, &WorkbookHistory::restored, this, &TForm1::showWorkbook);
    LabeledEdit1->installEventFilter(
        new KeyPressFilter([this](char32_t& key) { LabeledEdit1KeyPress(key); }, LabeledEdit1));
}

void TForm1::setUpToolbar()
{
    struct ToolButton {
        QToolButton* button;
        const char* themeIcon;
        QStyle::StandardPixmap fallback;
    };
    const ToolButton buttons[] = {
        {SpeedButton5, "document-new", QStyle::SP_FileIcon},
        {SpeedButton6, "document-open", QStyle::SP_DialogOpenButton},
        {SpeedButton7, "document-save", QStyle::SP_DialogSaveButton},
        {SpeedButton2, "system-run", QStyle::SP_MediaPlay},
        {SpeedButton8, "help-browser", QStyle::SP_MessageBoxInformation},
        {SpeedButton9, "application-exit", QStyle::SP_DialogCloseButton},
    };
    for (const ToolButton& entry : buttons)
        entry.button->setIcon(QIcon::fromTheme(entry.themeIcon, style()->standardIcon(entry.fallback)));

    connect(SpeedButton5, &QToolButton::clicked, this, Reporting(this, &TForm1::SpeedButton5Click));
    connect(SpeedButton6, &QToolButton::clicked, this, Reporting(this, &TForm1::SpeedButton6Click));
    connect(SpeedButton7, &QToolButton::clicked, this, Reporting(this, &TForm1::SpeedButton7Click));
    connect(SpeedButton2, &QToolButton::clicked, this, Reporting(this, &TForm1::SpeedButton2Click));
    connect(SpeedButton8, &QToolButton::clicked, this, Reporting(this, &TForm1::SpeedButton8Click));
    connect(SpeedButton9, &QToolButton::clicked, this, Reporting(this, &TForm1::SpeedButton9Click));
}

void TForm1::setUpTables()
{
    StringGrid1->setTable(m_book.observations, true);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setTabKeyNavigation(true);
    StringGrid1->setKeyPressHandler([this](char32_t& key) { StringGrid1KeyPress(key); });
    StringGrid1->setEditHandler(Reporting(this, &TForm1::StringGrid1SetEditText));

    StringGrid3->setTable(m_book.calculation, false);
    StringGrid3->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid3->setKeyPressHandler([this](char32_t& key) { StringGrid1KeyPress(key); });

    StringGrid2->setTable(m_book.fit, false);

    PopupMenu1 = new QMenu(this);
    N5 = PopupMenu1->addAction(QStringLiteral("Очистить"));
    N7 = PopupMenu1->addAction(QStringLiteral("Загрузить"));
    StringGrid1->setPopupMenu(PopupMenu1);
    connect(N5, &QAction::triggered, this, Reporting(this, &TForm1::N5Click));
    connect(N7, &QAction::triggered, this, Reporting(this, &TForm1::N7Click));
}

void TForm1::setUpMenuBar()
{
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Правка"));
    N20 = m_history->createUndoAction(edit, QStringLiteral("&Отменить"));
    N20->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    N21 = m_history->createRedoAction(edit, QStringLiteral("&Повторить"));
    N21->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    edit->addActions({N20, N21});
    QMenu* windows = menuBar()->addMenu(QStringLiteral("&Окна"));
    N10 = windows->addAction(QStringLiteral("&Прогнозирование…"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Справка"));
    N11 = help->addAction(QStringLiteral("&Инструкция"));
    N11->setShortcut(Qt::Key_F1);
    N13 = help->addAction(QStringLiteral("Страница о &методе"));
    help->addSeparator();
    N12 = help->addAction(QStringLiteral("О &программе…"));

    connect(N10, &QAction::triggered, this, Reporting(this, &TForm1::N10Click));
    connect(N11, &QAction::triggered, this, Reporting(this, &TForm1::N11Click));
    connect(N12, &QAction::triggered, this, Reporting(this, &TForm1::N12Click));
    connect(N13, &QAction::triggered, this, Reporting(this, &TForm1::SpeedButton8Click));
}

void TForm1::setUpChart()
{
    auto* chart = new QChart();
    chart->setTitle(QStringLiteral("TChart"));
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundRoundness(0);
    // Axis numbers use the same decimal separator as the cells.
    chart->setLocalizeNumbers(true);

    Series1 = new QLineSeries(chart);
    Series1->setName(QStringLiteral("Производство"));
    Series1->setPen(QPen(Qt::red, 3));
    Series2 = new QLineSeries(chart);
    Series2->setName(QStringLiteral("ПФ (Кобба-Дугласа)"));
    Series2->setPen(QPen(Qt::blue, 3));
    chart->addSeries(Series1);
    chart->addSeries(Series2);

    auto* years = new QCategoryAxis(chart);
    years->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    auto* values = new QValueAxis(chart);
    chart->addAxis(years, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QLineSeries* series : {Series1, Series2}) {
        series->attachAxis(years);
        series->attachAxis(values);
    }
    // The view gives up, but does not delete, the empty chart it started with.
    const QChart* const initial = Chart1->chart();
    Chart1->setChart(chart);
    delete initial;
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setAccessibleName(QStringLiteral("График: производство и ПФ Кобба-Дугласа по годам"));
}

void TForm1::showWorkbook()
{
    if (LabeledEdit1->text().toStdString() != m_book.countText) {
        // The model has already applied the count rule to this text.
        const QSignalBlocker blocker(LabeledEdit1);
        LabeledEdit1->setText(QString::fromStdString(m_book.countText));
    }
    ShowCaption(Label2, m_book.aCaption);
    ShowCaption(Label4, m_book.ACaption);
    ShowCaption(Label3, m_book.bCaption);
    ShowCaption(Label6, m_book.meanErrorCaption);
    ShowCaption(Label5, m_book.r2Caption);
    LabeledEdit2->setText(QString::fromStdString(m_book.formula));
    // Result columns grow to their numbers; the observation table keeps its widths so all four columns stay
    // in view.
    for (StringGrid* grid : {StringGrid3, StringGrid2})
        grid->widenColumnsToText();

    showChart();
    showStatistics();
    showResiduals();
}

void TForm1::showChart()
{
    Chart1->chart()->setLocale(QLocale());
    auto* years = static_cast<QCategoryAxis*>(Chart1->chart()->axes(Qt::Horizontal).front());
    auto* values = static_cast<QValueAxis*>(Chart1->chart()->axes(Qt::Vertical).front());
    QList<QPointF> observed;
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < m_book.observedSeries.size(); ++i) {
        observed.append({static_cast<double>(i), m_book.observedSeries[i].value});
        labels.push_back(m_book.observedSeries[i].label);
    }
    SetYearLabels(years, labels);
    QList<QPointF> fitted;
    for (std::size_t i = 0; i < m_book.fittedSeries.size(); ++i)
        fitted.append({static_cast<double>(i), m_book.fittedSeries[i].value});
    Series1->replace(observed);
    Series2->replace(fitted);

    QList<double> heights;
    for (const QList<QPointF>* points : {&observed, &fitted})
        for (const QPointF& point : *points)
            heights.append(point.y());
    const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    // From these values alone: the axis's own nice-number rounding depends on its previous ticks.
    const model::ChartScale scale =
        heights.isEmpty() ? model::ChartScale{0, 1, 2} : model::NiceChartScale(*low, *high);
    values->setRange(scale.minimum, scale.maximum);
    values->setTickCount(scale.tickCount);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    emit closed();
}

void TForm1::FormShow()
{
    model::SetTableHeaders(m_book);
    fitInto(screen()->availableGeometry());
    CentreOnScreen(*this);
}

void TForm1::fitInto(const QRect& available)
{
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize room = available.size().shrunkBy(frame);
    // The menu bar sits above the client area, which keeps its size: the window grows instead.
    QSize size = ClientArea->size() + QSize(0, menuBar()->sizeHint().height());
    // A scroll bar along one side takes room from the other: that side grows by it where it can.
    const int scrollBar =
        centralWidget()->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, centralWidget());
    if (size.height() > room.height())
        size.rwidth() += scrollBar;
    if (size.width() > room.width())
        size.rheight() += scrollBar;
    setFixedSize(size.boundedTo(room));
}

void TForm1::LabeledEdit1Change(const QString& text)
{
    m_history->setCountText(text.toStdString());
    showWorkbook();
}

void TForm1::LabeledEdit1KeyPress(char32_t& key)
{
    ApplyDigitFilter(key);
}

void TForm1::StringGrid1KeyPress(char32_t& key)
{
    ApplyDigitFilter(key);
}

void TForm1::SpeedButton2Click()
{
    // What the computation wrote before a failure is shown too.
    const auto refresh = qScopeGuard([this] { showWorkbook(); });
    model::ComputeWithStatistics(m_book, DecimalSeparator());
}

void TForm1::SpeedButton5Click()
{
    const auto refresh = qScopeGuard([this] { showWorkbook(); });
    m_history->runCommand(QStringLiteral("«Новая»"), [this] { model::NewCommand(m_book); });
}

void TForm1::SpeedButton6Click()
{
    N7Click();
}

void TForm1::SpeedButton7Click()
{
    const QString path =
        file_chooser::ChooseFileToSaveAs({this, settings::DialogFolder(), kObservationFileFilter}, {"txt"});
    if (path.isEmpty())
        return;
    model::WriteObservationFile(path.toStdString(), m_book.observations);
    settings::ObservationFileUsed(path);
    showRecentFiles();
}

void TForm1::N5Click()
{
    const auto refresh = qScopeGuard([this] { showWorkbook(); });
    m_history->runCommand(QStringLiteral("«Очистить»"), [this] { model::ClearCommand(m_book); });
}

void TForm1::N7Click()
{
    const QString path =
        file_chooser::ChooseFileToOpen({this, settings::DialogFolder(), kObservationFileFilter});
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    loadObservationFile(path);
}

void TForm1::loadObservationFile(const QString& path)
{
    // The data are cleared only once the file has been read.
    model::ObservationFileReport report(DecimalSeparator());
    const std::vector<model::ObservationLine> lines = model::ReadObservationFile(path.toStdString(), &report);
    {
        const auto refresh = qScopeGuard([this] { showWorkbook(); });
        m_history->runCommand(QStringLiteral("загрузку файла"),
                              [&] { model::LoadObservations(m_book, lines); });
    }
    settings::ObservationFileUsed(path);
    showRecentFiles();
    // Told over the table that shows what loaded.
    const std::string notice = model::LoadNotice(report);
    if (!notice.empty())
        Application::instance()->reportWarning(QString::fromStdString(notice));
}

void TForm1::openRecentFile(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        // Reading it below gives the usual message; the list keeps only files that are there.
        settings::ForgetObservationFile(path);
        showRecentFiles();
    }
    loadObservationFile(path);
}

void TForm1::showRecentFiles()
{
    // The entries are relabelled, never deleted: this runs inside a click on one of them.
    const QStringList files = settings::RecentObservationFiles();
    const QList<QAction*> entries = RecentFilesMenu->actions();
    for (int i = 0; i < entries.size(); ++i) {
        entries[i]->setVisible(i < files.size());
        if (i >= files.size())
            continue;
        const QString shown = QDir::toNativeSeparators(files[i]).replace('&', QStringLiteral("&&"));
        entries[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        entries[i]->setData(files[i]);
    }
    RecentFilesMenu->setEnabled(!files.isEmpty());
}

void TForm1::N10Click()
{
    Form4->show();
    Form4->raise();
    Form4->activateWindow();
}

void TForm1::N11Click()
{
    Form2->show();
    Form2->raise();
    Form2->activateWindow();
}

void TForm1::N12Click()
{
    AboutBox1->exec();
}

void TForm1::SpeedButton8Click()
{
    const QUrl page = MethodPageUrl();
    if (!shell::OpenUrl(page))
        throw std::runtime_error(
            QStringLiteral("Не удалось открыть страницу о методе в браузере. Откройте её сами:\n%1")
                .arg(page.isLocalFile() ? QDir::toNativeSeparators(page.toLocalFile()) : page.toString())
                .toStdString());
}

void TForm1::SpeedButton9Click()
{
    close();
}

void TForm1::setUpStatisticsPage()
{
    TabSheet3 = new QWidget();
    StringGrid4 = new StringGrid(TabSheet3);
    StringGrid4->setGeometry(0, 0, 865, 329);
    m_statisticsTable.setHeaders({"Показатель", "Значение"});
    m_statisticsTable.setColumnWidths({330, 510});
    StringGrid4->setTable(m_statisticsTable, false);
    w->addTab(TabSheet3, QStringLiteral("Статистика"));

    StringGrid1->setPasteHandler(Reporting(this, &TForm1::StringGrid1Paste));
}

void TForm1::setUpResidualPage()
{
    TabSheet4 = new QWidget();
    Chart2 = new QChartView(TabSheet4);
    Chart2->setGeometry(0, 0, 865, 329);
    auto* chart = new QChart();
    chart->setTitle(QStringLiteral("Остатки регрессии Z = b + a·X"));
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundRoundness(0);
    chart->setLocalizeNumbers(true);

    Series3 = new QLineSeries(chart);
    Series3->setName(QStringLiteral("Остатки Z − Z(X)"));
    Series3->setPen(QPen(Qt::darkGreen, 2));
    Series3->setPointsVisible(true);
    Series4 = new QLineSeries(chart);
    Series4->setName(QStringLiteral("Ноль"));
    Series4->setPen(QPen(Qt::gray, 1, Qt::DashLine));
    chart->addSeries(Series3);
    chart->addSeries(Series4);

    auto* years = new QCategoryAxis(chart);
    years->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    auto* values = new QValueAxis(chart);
    chart->addAxis(years, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QLineSeries* series : {Series3, Series4}) {
        series->attachAxis(years);
        series->attachAxis(values);
    }
    const QChart* const initial = Chart2->chart();
    Chart2->setChart(chart);
    delete initial;
    Chart2->setRenderHint(QPainter::Antialiasing);
    Chart2->setAccessibleName(QStringLiteral("График остатков регрессии по годам"));
    w->addTab(TabSheet4, QStringLiteral("Остатки"));
}

void TForm1::showResiduals()
{
    Chart2->chart()->setLocale(QLocale());
    auto* years = static_cast<QCategoryAxis*>(Chart2->chart()->axes(Qt::Horizontal).front());
    auto* values = static_cast<QValueAxis*>(Chart2->chart()->axes(Qt::Vertical).front());
    QList<QPointF> residuals;
    std::vector<std::string> labels;
    double largest = 0;
    if (m_book.diagnostics) {
        labels = m_book.diagnostics->years;
        for (std::size_t i = 0; i < m_book.diagnostics->residuals.size(); ++i) {
            const double residual = m_book.diagnostics->residuals[i];
            residuals.append({static_cast<double>(i), residual});
            largest = std::max(largest, std::fabs(residual));
        }
    }
    SetYearLabels(years, labels);
    Series3->replace(residuals);
    Series4->replace(residuals.isEmpty() ? QList<QPointF>()
                                         : QList<QPointF>{{0, 0}, {residuals.back().x(), 0}});
    // Symmetric about the zero line, so that signs read at a glance.
    const double half = largest > 0 ? largest : 1;
    const model::ChartScale scale = model::NiceChartScale(-half, half);
    values->setRange(scale.minimum, scale.maximum);
    values->setTickCount(scale.tickCount);
}

void TForm1::setUpExports()
{
    PopupMenu2 = new QMenu(this);
    N14 = PopupMenu2->addAction(QStringLiteral("Сохранить график…"));
    Chart1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Chart1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(Chart1->mapToGlobal(at)); });
    connect(N14, &QAction::triggered, this, Reporting(this, &TForm1::N14Click));

    // "Файл" comes first in the menu bar, whatever menus are there already.
    auto* file = new QMenu(QStringLiteral("&Файл"), this);
    RecentFilesMenu = file->addMenu(QStringLiteral("&Недавние файлы"));
    for (int i = 0; i < settings::kRecentFileCount; ++i) {
        QAction* entry = RecentFilesMenu->addAction(QString());
        connect(entry, &QAction::triggered, this,
                [this, entry] { Reporting(this, &TForm1::openRecentFile)(entry->data().toString()); });
    }
    showRecentFiles();
    N15 = file->addAction(QStringLiteral("Сохранить &отчёт…"));
    menuBar()->insertMenu(menuBar()->actions().value(0, nullptr), file);
    connect(N15, &QAction::triggered, this, Reporting(this, &TForm1::N15Click));

    setAcceptDrops(true);
    // A graphics view takes drops for its scene: the chart hands them on to the window.
    Chart1->setAcceptDrops(false);
    Chart1->viewport()->setAcceptDrops(false);
}

void TForm1::setUpShortcuts()
{
    const std::pair<QKeySequence, QToolButton*> shortcuts[] = {
        {QKeySequence(QKeySequence::New), SpeedButton5},
        {QKeySequence(QKeySequence::Open), SpeedButton6},
        {QKeySequence(QKeySequence::Save), SpeedButton7},
        {QKeySequence(Qt::Key_F9), SpeedButton2},
    };
    for (const auto& [keys, button] : shortcuts) {
        button->setToolTip(
            QStringLiteral("%1 (%2)").arg(button->text().trimmed(), keys.toString(QKeySequence::NativeText)));
        connect(new QShortcut(keys, this), &QShortcut::activated, button, &QToolButton::click);
    }
}

void TForm1::showStatistics()
{
    std::vector<model::StatisticsLine> lines =
        m_book.statistics ? model::StatisticsLines(*m_book.statistics, DecimalSeparator())
                          : std::vector<model::StatisticsLine>();
    if (m_book.diagnostics) {
        const std::vector<model::StatisticsLine> diagnostics =
            model::DiagnosticsLines(*m_book.diagnostics, DecimalSeparator());
        lines.insert(lines.end(), diagnostics.begin(), diagnostics.end());
    }
    m_statisticsTable.setRowCount(static_cast<int>(lines.size()) + 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        m_statisticsTable.setCell(model::StatisticsColumn::kLabel, row, lines[i].label);
        m_statisticsTable.setCell(model::StatisticsColumn::kValue, row, lines[i].value);
    }
}

void TForm1::StringGrid1Paste(const std::string& text, int column, int row)
{
    const auto refresh = qScopeGuard([this] { showWorkbook(); });
    m_history->runCommand(QStringLiteral("вставку"),
                          [&] { model::PasteObservations(m_book, column, row, text, DecimalSeparator()); });
}

void TForm1::StringGrid1SetEditText(int column, int row, const std::string& text)
{
    m_history->typeCell(column, row, text);
}

void TForm1::N14Click()
{
    const QString path = file_chooser::ChooseFileToSaveAs(
        {this, settings::DialogFolder(), QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg)")},
        {"png", "svg"});
    if (path.isEmpty())
        return;
    exporting::SaveChartPicture(Chart1, path);
    settings::FileUsed(path);
}

void TForm1::N15Click()
{
    const QString path = file_chooser::ChooseFileToSaveAs(
        {this, settings::DialogFolder(), QStringLiteral("Документ PDF (*.pdf)")}, {"pdf"});
    if (path.isEmpty())
        return;
    exporting::WriteReport(path, m_book, DecimalSeparator(), Chart1, Chart2,
                           m_forecast ? m_forecast() : nullptr);
    settings::FileUsed(path);
}

namespace {

// The observation file a drag carries: one local file ending in ".txt".
QString DroppedObservationFile(const QMimeData* data)
{
    if (!data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    const QString path = data->urls().front().toLocalFile();
    return path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) ? path : QString();
}

}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedObservationFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString path = DroppedObservationFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Reported here: Qt's drag and drop code must not be unwound.
    Reporting(this, &TForm1::loadObservationFile)(path);
}
