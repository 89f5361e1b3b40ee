#pragma once
// A list of measured travels with their figures: on the monitor page the travels seen
// since the program started (newest first, fed one sample per monitor tick), in the
// recording window those of a recording. It can be cleared and exported as CSV in the
// recording's conventions; choosing a travel announces it.
#include "ride/TravelFigures.h"

#include <QWidget>
#include <functional>

class LangModule;
class Prompts;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TravelList final : public QWidget {
    Q_OBJECT
public:
    // Columns of the list; the export adds Irms and Complete after them.
    enum Column { When, Flight, Distance, Vmax, Amax, Dmax, Jmax, Creep, Ipeak, ListColumns };

    TravelList(const LangModule& lang, Prompts& prompts, QWidget* parent = nullptr);

    void retitle(const LangModule& lang);

    // Live: `v0` gives the levelling speed (m/s) in use when a travel ends.
    void setLevellingSpeed(std::function<double()> v0) { m_v0 = std::move(v0); }
    // One monitor sample (monotonic seconds, raw speed, acceleration and current); a
    // travel that it ends goes to the top of the list once the event loop runs.
    void takeSample(double t, double speed, double accel, double current);

    // The whole list at once, in the order given (a recording's travels).
    void setTravels(const QList<MeasuredTravel>& travels);
    const QList<MeasuredTravel>& travels() const { return m_travels; }
    void clear();

    // The list as the export writes it: UTF-8 with a byte order mark, titles with their
    // units, "; " between fields, the user's decimal separator, CR LF.
    QByteArray csv() const;
    // Asks for a file and writes csv() to it; the user hears how it went.
    void exportTravels();

    QTreeWidget* view() const { return m_view; }

signals:
    void travelChosen(const MeasuredTravel& travel);

private:
    QTreeWidgetItem* itemFor(const MeasuredTravel& travel) const;
    QStringList titles() const;
    void chosen();
    void listPending();

    const LangModule& m_lang;
    Prompts& m_prompts;
    std::function<double()> m_v0;
    TravelFinder m_finder;
    // Travels ended by a sample, with the levelling speed, the time of day and the
    // sample's time when they ended.
    struct Pending {
        TravelFinder::Run run;
        double v0 = 0.0;
        QTime clock;
        double t = 0.0;
    };
    QList<Pending> m_pending;
    QList<MeasuredTravel> m_travels; // in the rows' order
    QTreeWidget* m_view = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_export = nullptr;
};
