#include "app/startup.h"

#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "forms/application.h"

#include <QCoreApplication>
#include <QTimer>

void CreateWindows()
{
    Form1 = new TForm1();
    // Closing the main window ends the program, whatever other windows are open.
    QObject::connect(Form1, &TForm1::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    Form1->show();
    Form2 = new TForm2();
    AboutBox1 = new TAboutBox1();
    // The forecast uses the coefficients "Вычислить" last wrote on the main window, and their fit.
    Form4 = new TForm4([main = Form1] { return model::ForecastBasisOf(main->workbook()); });
    // The report holds the forecasts the forecast window shows.
    Form1->setForecastSource([forecast = Form4] { return &forecast->table(); });
}

void OpenStartFile(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return;
    QTimer::singleShot(0, Form1,
                       [path = arguments.at(1)] { Reporting(Form1, &TForm1::loadObservationFile)(path); });
}

void DestroyWindows()
{
    delete Form4;
    Form4 = nullptr;
    delete AboutBox1;
    AboutBox1 = nullptr;
    delete Form2;
    Form2 = nullptr;
    delete Form1;
    Form1 = nullptr;
}
