#pragma once
// ADIF values a QSO record cannot hold, kept with the QSO so that an export writes them back:
// the MODE and SUBMODE of a mode the mode table lacks, a report that is no RS(T) report ("-10"
// of a weak-signal mode), and the BAND and FREQ of a band the band table lacks. They travel as
// one line of the QSO's note, "ADIF" followed by the values as ADIF tags
// ("ADIF<MODE:4>MFSK<SUBMODE:3>FT4<RST_SENT:3>-10"), which the ADIF export leaves out of the
// comment. The record format stays as it is.
#include <string>
#include <string_view>

namespace korval {

struct TAdifKeptValues {
    std::string Mode, Submode, RstSent, RstRcvd, Band, Freq;

    bool Empty() const;
    // The note line; "" when nothing is kept.
    std::string NoteItem() const;
    // Reads a note line written by NoteItem; false for any other text.
    static bool FromNoteItem(std::string_view line, TAdifKeptValues& kept);
};

// A QSO note taken apart for the ADIF export: the kept values, the frequency of a "Freq=" line
// (as the import wrote it) when it is a frequency ADIF knows, and the rest of the note (every
// other line, the "Freq=" line too, joined with bars) for the comment. The import does not add
// a second "Freq=" line for a FREQ its comment already holds, so the note comes back the same.
struct TAdifNoteParts {
    TAdifKeptValues Kept;
    std::string Freq;
    std::string Comment;
};
TAdifNoteParts SplitAdifNote(std::string_view note);

} // namespace korval
