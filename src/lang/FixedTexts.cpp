#include "lang/FixedTexts.h"

namespace FixedTexts {

QString noLanguagePack() {
    return QStringLiteral("Dil paketi bulunamad\u0131. Program sonlandiriliyor.\r\n"
                          "No language pack could be found. Terminating program");
}

QString badChecksum() {
    return QStringLiteral("Bad Checksum");
}

QString fileNotOpened(const QString& nativePath) {
    return nativePath + QStringLiteral(" dosyas\u0131 a\u00e7\u0131lamad\u0131.");
}

QString recordNotWritten(const QString& nativePath) {
    return nativePath + QStringLiteral(" dosyas\u0131na yaz\u0131lamad\u0131. Dosya ba\u015fka "
                                       "bir program taraf\u0131ndan kullan\u0131l\u0131yorsa, o "
                                       "program\u0131 kapatt\u0131ktan sonra tekrar deneyin");
}

QString recordWritten(const QString& nativePath) {
    return QStringLiteral("Kay\u0131t edilen veriler ") + nativePath +
           QStringLiteral(" dosyas\u0131na CSV format\u0131nda yaz\u0131ld\u0131. Bu "
                          "dosyay\u0131 MS Excel veya benzeri bir programla a\u00e7abilirsiniz.");
}

QString fallback(TextId id) {
    struct Entry {
        TextId id;
        const char* text;
    };
    // Texts added to the packs after the first ones were shipped.
    static constexpr Entry entries[] = {
        {TextId::BadPackLine, "%1: line %2 is not a valid language entry and was skipped."},
        {TextId::DefinitionUnreadable, "The parameter definition file %1 could not be read."},
        {TextId::BadDefinitionLine,
         "%1: line %2 is not a valid parameter definition and was skipped."},
        {TextId::FileExists, "%1 already exists. Do you want to replace it?"},
        {TextId::WordOutOfRange, "The value of %1 (%2) cannot be sent to the inverter as a "
                                 "16-bit word. Nothing was written."},
        {TextId::PortOpenFailed, "Unable to open port %1: %2."},
        {TextId::LineLost, "The connection on %1 was lost (%2). The port has been closed."},
        {TextId::FileNotWritten, "The file %1 could not be written: %2"},
        {TextId::SimZeroInput, "The simulation was not run: %1 must not be 0."},
        {TextId::SimBoxNotNumber, "The simulation was not run: the box \"%1\" holds no number."},
        {TextId::FileLineNotNumber,
         "Line %1 of the file is not a number; the file was not loaded further."},
        {TextId::ValueNotNumber, "The value given for %1 is not a number."},
        {TextId::DistanceTooShort, "%1 must be at least %2: a shorter slowdown needs more than "
                                   "the deceleration NA and the jerks S3 and S4 allow."},
        {TextId::LegendSimulated, "simulated"},
        {TextId::LegendMeasured, "measured"},
        {TextId::MatchSignals, "Match signals"},
        {TextId::UndoSignals, "Undo"},
        {TextId::MeasuredComparison, "Flight time: %1 s simulated, %2 s measured.  Creep: %3 s "
                                     "simulated, %4 s measured.  Largest speed difference: %5 "
                                     "m/s."},
        {TextId::WriteNotTaken, "The inverter did not take %1 of the parameters written; the red "
                                "rows show which. Check the line and write again."},
        {TextId::DeviceWentAway, "the adapter was unplugged or the device went away"},
        {TextId::NoSuchPort, "no such port on this computer"},
        {TextId::LineSettingsFailed, "the line settings 56000 baud, 8N1 could not be applied (%1)"},
        {TextId::MissingPictures,
         "These pictures were not found beside the program and are not shown: %1"},
        {TextId::DoubtfulRead, "The inverter's answer is doubtful: %1 values lie outside their "
                               "limits (the first: %2). Nothing was changed; read again."},
        {TextId::NoFreePort, "No free serial port was found."},
        {TextId::PortNoPermission, "no permission: add yourself to the group %1 (sudo usermod "
                                   "-aG %1 %2) and log in again"},
        {TextId::PortRootOnly,
         "no permission: only the system administrator (root) may use this device"},
        {TextId::MenuSaveLinkLog, "Save link log..."},
        {TextId::LinkLogSaved, "The link log of the last minutes was written to %1."},
        {TextId::LinkLogFailed, "The link log could not be written to %1: %2"},
        {TextId::PortBusy, "in use by another program"},
        {TextId::PortBusyBy, "in use by %1"},
        {TextId::PortHeldByService,
         "held by the system service %1, which takes USB serial adapters; stop it or tell it "
         "to leave this adapter alone"},
        {TextId::PortVanished, "gone: the adapter was unplugged or the device went away"},
        {TextId::PortLinkDangling, "link to %1, which does not exist"},
        {TextId::RefreshPorts, "Refresh"},
        {TextId::KeepAdapterAs, "Keep this adapter as"},
        {TextId::LineLostWaiting, "%1: line lost, waiting for the adapter to come back"},
        {TextId::LineReconnected, "%1: adapter back, port reopened"},
        {TextId::LinkStatsTip, "%1 frames/s, %2 checksum failures, %3 resynchronisations, %4 "
                               "bytes skipped"},
        {TextId::KeepAdapterFailed, "The adapter could not be kept as %1: %2."},
        {TextId::UsbSerial, "USB serial"},
        {TextId::NoStableName, "This port has no stable name under /dev/serial/by-id; only a "
                               "USB adapter can be kept under a number."},
        {TextId::LinkTo, "link to %1"},
        {TextId::PortNone, "No port selected"},
        {TextId::Ok, "OK"},
        {TextId::Warning, "Warning"},
        {TextId::SlowingDistance, "Slowing distance (cm)"},
        {TextId::StoppingDistance, "Stopping distance (cm)"},
        {TextId::SlowingJerk, "Computed slowing jerk (m/s3)"},
        {TextId::StoppingJerk, "Computed stopping jerk (m/s3)"},
        {TextId::Duration, "Duration"},
        {TextId::ReviewTitle, "Review before writing"},
        {TextId::ReviewCount, "%1 parameters will change."},
        {TextId::ReviewNoDifferences, "The inverter already holds the values to be written."},
        {TextId::ArchiveFailed, "The parameter set could not be archived in the history: %1"},
        {TextId::WriteAnyway, "Write anyway?"},
        {TextId::MenuHistory, "History..."},
        {TextId::MenuCompare, "Compare..."},
        {TextId::HistoryColumns, "Time|Kind|Port|Firmware|Changes"},
        {TextId::HistoryLoad, "Load"},
        {TextId::HistoryOpenFolder, "Open folder"},
        {TextId::HistoryDamaged, "damaged, cannot be loaded"},
        {TextId::OnlyDifferingRows, "Only differing rows"},
        {TextId::ReviewHidden, "%1 values without a row in the grid change as well."},
        {TextId::NotTakenHidden, "%1 values without a row in the grid were not taken either."},
        {TextId::ReadBackFirmware,
         "After the write the inverter reports firmware %2 instead of %1. The values read back "
         "were not taken; the program keeps its own. Check the inverter and read again."},
        {TextId::DoubtfulValues, "These values of the inverter's answer lie outside their limits:"},
        {TextId::DoubtfulTake, "Take the read? The values listed keep the program's values; No "
                               "cancels the read and changes nothing."},
        {TextId::DoubtfulLimits, "%1 = %2 (limits %3 to %4)"},
        {TextId::CompareCount, "%1 parameters differ between %2 and %3."},
        {TextId::CompareSame, "%1 and %2 hold the same values."},
        {TextId::TravelsFrame, "Travels"},
        {TextId::TravelColumns, "Time|Flight (s)|Distance (m)|vmax (m/s)|amax (m/s²)|dmax "
                                "(m/s²)|jmax (m/s³)|Creep (s)|Ipeak (A)|Irms (A)|Complete"},
        {TextId::TravelsClear, "Clear"},
        {TextId::TravelsExport, "Export..."},
        {TextId::MenuOpenRecording, "Open recording..."},
        {TextId::RecordingTravelsTitle, "Travels in %1"},
        {TextId::RecordingReading, "Reading %1..."},
        {TextId::RecordingNotAFile, "%1 is not a file that can be read."},
        {TextId::RecordingUnreadable, "%1 could not be read: %2"},
        {TextId::RecordingTooLarge, "%1 is larger than %2 MB and is not a recording."},
        {TextId::RecordingNotASample, "%1 is not a recording of the monitor: line %2 is not a "
                                      "sample (time; speed; acceleration; current)."},
        {TextId::RecordingNoSamples, "%1 holds no samples."},
        {TextId::RecordingNoTravels,
         "%1 holds no travel: the car never moved for half a second or longer."},
        {TextId::TravelsWritten, "The travels were written to %1."},
        {TextId::TravelIncomplete,
         "Cut off by the start or end of the data: the figures cover only part of the travel."},
        {TextId::TravelsHint,
         "Choose a travel to see it over the simulated one on the travel page."},
        {TextId::DefinitionIncomplete,
         "The parameter definition file %1 does not define parameter %2. It was not taken; no "
         "parameter set can be read or written until the file is complete."},
        {TextId::ValueOutOfRange,
         "The value %2 of %1 is out of range: the inverter cannot hold it. It was not taken."},
        {TextId::UnsavedEdits, "The program's parameter values hold changes that were neither "
                               "written to the inverter nor saved to a file. Save them first?"},
        {TextId::SaveChoice, "Save"},
        {TextId::DiscardChoice, "Discard"},
        {TextId::DriveValuesStale,
         "Not current: the line was lost at %1. Read again to see what the inverter holds."},
        {TextId::QtLocale, "en"},
        {TextId::PackUnusable,
         "The language pack %1 could not be used; the program starts in English."},
        {TextId::MenuReport, "Report..."},
        {TextId::ReportTitle, "Commissioning report"},
        {TextId::ReportSite, "Site"},
        {TextId::ReportLift, "Lift"},
        {TextId::ReportTechnician, "Technician"},
        {TextId::ReportNote, "Note"},
        {TextId::ReportPrint, "Print..."},
        {TextId::ReportFirmware, "Drive firmware"},
        {TextId::ReportValuesEqual, "The program's values equal the drive's."},
        {TextId::ReportValuesDiffer, "The program's values differ from the drive's."},
        {TextId::ReportLastTransfer, "Drive last read or written"},
        {TextId::ReportParamFile, "Parameter file"},
        {TextId::ReportIdentifier, "Identifier"},
        {TextId::ReportDefault, "Factory default"},
        {TextId::ReportLegendDefault, "* the program's value differs from the factory default"},
        {TextId::ReportLegendDrive, "! the program's value differs from the drive's"},
        {TextId::ReportTravel, "Travel simulation"},
        {TextId::ReportMeasured, "Measured travels"},
        {TextId::ReportTravelColumns, "Start|Flight (s)|Distance (m)|vmax (m/s)|amax (m/s²)|dmax "
                                      "(m/s²)|jmax (m/s³)|Creep (s)|Ipeak (A)"},
        {TextId::ReportMatchedColumns, "Flight simulated (s)|Creep simulated (s)"},
        {TextId::ReportNoTravelFound, "The recording %1 holds no travel."},
        {TextId::ReportNoRecording, "No travel has been measured."},
        {TextId::ReportNotYet, "not in this session"},
        {TextId::ReportSavePdf, "Save as PDF..."},
    };
    for (const Entry& entry : entries)
        if (entry.id == id)
            return QString::fromUtf8(entry.text);
    return QString();
}

} // namespace FixedTexts
