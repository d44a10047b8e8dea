#include "reference/setup_restart.h"

#include "logbook/main_form_code.h"
#include "logbook/paths.h"
#include "platform/message_dlg.h"
#include "reference/callbook_lookup.h"

namespace korval {

namespace {

// Keying interfaces on the radio's serial port lines: they need a running radio.
constexpr int KeyingNone = 1, KeyingDtr = 5, KeyingRts = 6;

bool FontsDiffer(const TConfigRecord& a, const TConfigRecord& b)
{
    if (a.FormScale() != b.FormScale())
        return true;
    for (int i = 0; i < 3; ++i)
        if (!(a.Font(i) == b.Font(i)))
            return true;
    return false;
}

bool StationListsDiffer(const TConfigRecord& a, const TConfigRecord& b)
{
    for (int i = 1; i <= 15; ++i)
        if (a.StationBand(i) != b.StationBand(i) || a.StationMode(i) != b.StationMode(i))
            return true;
    for (int band = 10; band <= 15; ++band)
        if (a.VuccBand(band) != b.VuccBand(band))
            return true;
    return a.SpotterFilter() != b.SpotterFilter();
}

bool AwardsDiffer(const TConfigRecord& a, const TConfigRecord& b)
{
    // Every award's summary is built from its own block: a change to any of them dates it.
    for (int award = akDxcc; award <= akWpx; ++award)
        if (!(a.AwardSettings(award) == b.AwardSettings(award)))
            return true;
    return false;
}

// A terminal's window placement, which closing the window has just stored in the live record,
// is kept in the copy that is about to replace it.
void KeepPlacement(TConfigRecord& copy, const TConfigRecord& live, int slot)
{
    copy.SetPlacement(slot, live.Placement(slot));
}

void SoundCheck(TConfigRecord& live, TSetupServices& services)
{
    if (live.AnnounceContent() < 2 || live.SoundConfirmed() || services.SoundDeviceCount() > 0)
        return;
    if (MessageDlg(SoundNotDetectedText, TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes) {
        live.SetAnnounceContent(0);
        return;
    }
    if (!services.PlaySoundToken("country")) {
        MessageDlg(SoundDidNotPlayText, TMsgDlgType::mtError, mbOK);
        live.SetAnnounceContent(0);
        return;
    }
    if (MessageDlg(SoundPlayedQuestion, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        live.SetSoundConfirmed(true);
    else
        live.SetAnnounceContent(0);
}

void CallbookCheck(TConfigRecord& live)
{
    const int source = live.CallbookKind();
    if (source < 1 || source > 5 || CallbookLibraryPresent(GetExtDataDir(), source))
        return;
    MessageDlg(CallbookFileMissingText(CallbookLibraryFile(source)), TMsgDlgType::mtError, mbOK);
    live.SetCallbookKind(0);
}

} // namespace

std::string CallbookFileMissingText(const std::string& fileName)
{
    return "A file which is needed to support\raddress lookups could not be found\rThe file: " + fileName +
           "\rneeds to be in the EXTDATA directory";
}

bool PortSettingsChanged(const TPortSettings& a, const TPortSettings& b)
{
    return a.TerminalKind() != b.TerminalKind() || a.ComPort() != b.ComPort() || a.BaudIndex() != b.BaudIndex() ||
           a.FlowControl() != b.FlowControl() || a.Parity() != b.Parity() ||
           a.ShowFunctionKeys() != b.ShowFunctionKeys();
}

TSetupChanges CompareSetup(const TConfigRecord& copy, const TConfigRecord& live, bool merged, bool qsoWindowOpen)
{
    TSetupChanges c;
    c.ownStation = merged || copy.OwnCall() != live.OwnCall() || copy.AddressLine(0) != live.AddressLine(0);
    c.radio = copy.RadioModel() != live.RadioModel() || copy.RadioComPort() != live.RadioComPort() ||
              copy.RadioBaud() != live.RadioBaud() || copy.RadioPollInterval() != live.RadioPollInterval() ||
              copy.RadioDtr() != live.RadioDtr() || copy.RadioRts() != live.RadioRts();
    c.packetPort = PortSettingsChanged(copy.PacketPort(), live.PacketPort());
    c.rttyPort = PortSettingsChanged(copy.RttyPort(), live.RttyPort());
    c.keyer = copy.CwKeyingInterface() != live.CwKeyingInterface() ||
              copy.CwShowFunctionKeys() != live.CwShowFunctionKeys();
    c.rotator = copy.RotatorPort() != live.RotatorPort() ||
                (qsoWindowOpen && copy.RotatorKind() != live.RotatorKind());
    c.ignoreGrayOn = copy.IgnoreGraySpots() && !live.IgnoreGraySpots();
    c.fonts = FontsDiffer(copy, live);
    c.timeDisplay = copy.TimeFormat() != live.TimeFormat() || copy.DateFormat() != live.DateFormat();
    c.cutoffDates = copy.WorkedCutoff() != live.WorkedCutoff() || copy.QslSentCutoff() != live.QslSentCutoff();
    c.stationLists = StationListsDiffer(copy, live);
    c.awards = AwardsDiffer(copy, live);
    return c;
}

void ApplySetup(TConfigRecord& copy, TConfigRecord& live, bool merged, TSetupServices& services,
                const std::function<void()>& hideDialog)
{
    TSetupChanges c = CompareSetup(copy, live, merged, services.QsoWindowOpen());

    // Shut down what runs on settings that change.
    if (c.radio && services.RadioRunning()) {
        services.FreeRadio();
        services.ProcessPendingMessages();
    }
    if (c.packetPort && services.TerminalOpen(0)) {
        services.FreeTerminal(0);
        KeepPlacement(copy, live, psSpot);
        KeepPlacement(copy, live, psPack);
        services.ProcessPendingMessages();
    }
    if (c.rttyPort && services.TerminalOpen(1)) {
        services.FreeTerminal(1);
        KeepPlacement(copy, live, psRtty);
        services.ProcessPendingMessages();
    }
    if (c.rotator)
        services.CloseRotator();

    const int oldScale = live.FormScale();
    live = copy;

    // Start again what changed.
    if (!c.radio || live.RadioModel().empty())
        services.UpdateRadioMenu();
    else
        services.CreateRadio();
    const int keying = live.CwKeyingInterface();
    if (!services.RadioRunning() && (keying == KeyingDtr || keying == KeyingRts)) {
        live.SetCwKeyingInterface(KeyingNone);
        c.keyer = true;
    }
    if (c.keyer)
        services.SelectKeyingPort();
    if (c.packetPort && live.PacketPort().TerminalKind() > 1)
        services.CreateTerminal(0);
    if (c.rttyPort && live.RttyPort().TerminalKind() > 1)
        services.CreateTerminal(1);
    if (c.ignoreGrayOn && services.SpotWindowOpen())
        services.DeleteNoInterestSpots();

    if (hideDialog)
        hideDialog();
    if (c.fonts)
        services.ScaleAllForms(oldScale);
    if ((c.awards || c.stationLists || c.cutoffDates) && services.LogOpen())
        services.MarkAwardSummaryStale();
    services.PostToMainForm(mfSetupChanged);
    if (c.rotator)
        services.OpenRotator();
    services.PostToMainForm(mfSetupSaved);

    SoundCheck(live, services);
    CallbookCheck(live);
    if (c.ownStation)
        services.ApplyOwnCallsign();
    if (c.timeDisplay && services.QsoWindowOpen())
        services.ApplyDateFormats();
}

} // namespace korval
