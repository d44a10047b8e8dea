#pragma once
// The radio definitions: one ".rig" INI file per model in the RADIOS folder of the Korval home,
// keyed by the file name without its extension.
#include "logbook/base/d_list.h"
#include "station/radio_definition.h"

namespace korval {

class TRadioList : public TDList<TRadioDefinition> {
public:
    // With scanDirectory every ".rig" file of the folder is read; else the list starts empty. The
    // folder defaults to the home's RADIOS folder.
    explicit TRadioList(bool scanDirectory, std::string dir = "");

    const TRadioDefinition& GetRadio(int index) const { return Items(index); }

    // Refuses (ERadioDefinitionError naming the file and key) a hex command string that is not
    // whole pairs of hexadecimal digits, rather than sending wrong bytes to the radio.
    void LoadItem(const std::string& fileName, TRadioDefinition& data) override;
    // Rewrites the file from scratch (through the keep-backup rewrite of data files).
    void SaveItem(const std::string& fileName, const TRadioDefinition& data) override;
    void NewItem(TRadioDefinition& data) override;
};

} // namespace korval
