#include "entry/ovc_command_processor.h"

#include "entry/ovc_exceptions.h"
#include "entry/ovc_strings.h"
#include "platform/atomic_file.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korval {

namespace {

constexpr uint8_t S = ss_Shift, C = ss_Ctrl, A = ss_Alt, CS = ss_Ctrl | ss_Shift, W = ss_Wordstar;

TOvcCmdRec k(uint8_t key, uint8_t ss, uint16_t cmd) { return {key, ss, 0, 0, cmd}; }
TOvcCmdRec k2(uint8_t key, uint8_t ss, uint8_t key2, uint8_t ss2, uint16_t cmd)
{
    return {key, ss, key2, ss2, cmd};
}

std::vector<TOvcCmdRec> buildDefault()
{
    std::vector<TOvcCmdRec> t = {
        k(VK_LEFT, 0, ccLeft), k(VK_RIGHT, 0, ccRight), k(VK_LEFT, C, ccWordLeft),
        k(VK_RIGHT, C, ccWordRight), k(VK_HOME, 0, ccHome), k(VK_END, 0, ccEnd),
        k(VK_DELETE, 0, ccDel), k(VK_BACK, 0, ccBack), k(VK_BACK, S, ccBack),
        k(VK_PRIOR, C, ccTopOfPage), k(VK_NEXT, C, ccBotOfPage), k(VK_INSERT, 0, ccIns),
        k('Z', C, ccUndo), k(VK_BACK, A, ccRestore), k(VK_UP, 0, ccUp), k(VK_DOWN, 0, ccDown),
        k(VK_RETURN, C, ccNewLine), k(VK_LEFT, S, ccExtendLeft), k(VK_RIGHT, S, ccExtendRight),
        k(VK_HOME, S, ccExtendHome), k(VK_END, S, ccExtendEnd), k(VK_LEFT, CS, ccExtWordLeft),
        k(VK_RIGHT, CS, ccExtWordRight), k(VK_PRIOR, S, ccExtendPgUp), k(VK_NEXT, S, ccExtendPgDn),
        k(VK_UP, S, ccExtendUp), k(VK_DOWN, S, ccExtendDown), k(VK_HOME, CS, ccExtFirstPage),
        k(VK_END, CS, ccExtLastPage), k(VK_PRIOR, CS, ccExtTopOfPage),
        k(VK_NEXT, CS, ccExtBotOfPage), k(VK_DELETE, S, ccCut), k('X', C, ccCut),
        k(VK_INSERT, C, ccCopy), k('C', C, ccCopy), k(VK_INSERT, S, ccPaste), k('V', C, ccPaste),
        k(VK_PRIOR, 0, ccPrevPage), k(VK_NEXT, 0, ccNextPage), k(VK_HOME, C, ccFirstPage),
        k(VK_END, C, ccLastPage), k(VK_TAB, 0, ccTab), k(VK_TAB, C, ccTab), k('Z', CS, ccRedo),
    };
    for (int i = 0; i < 10; ++i)
        t.push_back(k(uint8_t('0' + i), C, uint16_t(ccGotoMarker0 + i)));
    for (int i = 0; i < 10; ++i)
        t.push_back(k(uint8_t('0' + i), CS, uint16_t(ccSetMarker0 + i)));
    return t;
}

std::vector<TOvcCmdRec> buildWordStar()
{
    std::vector<TOvcCmdRec> t = {
        k('S', C, ccLeft), k('D', C, ccRight), k('E', C, ccUp), k('X', C, ccDown),
        k('R', C, ccPrevPage), k('C', C, ccNextPage), k('W', C, ccScrollUp),
        k('Z', C, ccScrollDown), k('A', C, ccWordLeft), k('F', C, ccWordRight),
        k2('Q', C, 'S', W, ccHome), k2('Q', C, 'D', W, ccEnd), k('G', C, ccDel),
        k('H', C, ccBack), k('Y', C, ccDelLine), k2('Q', C, 'Y', W, ccDelEol), k('V', C, ccIns),
        k('T', C, ccDelWord), k('P', C, ccCtrlChar), k2('Q', C, 'L', W, ccRestore),
    };
    for (int i = 0; i < 10; ++i)
        t.push_back(k2('Q', C, uint8_t('0' + i), W, uint16_t(ccGotoMarker0 + i)));
    for (int i = 0; i < 10; ++i)
        t.push_back(k2('K', C, uint8_t('0' + i), W, uint16_t(ccSetMarker0 + i)));
    return t;
}

std::vector<TOvcCmdRec> buildGrid()
{
    return {
        k(VK_LEFT, 0, ccLeft), k(VK_RIGHT, 0, ccRight), k(VK_LEFT, C, ccPageLeft),
        k(VK_RIGHT, C, ccPageRight), k(VK_HOME, 0, ccHome), k(VK_END, 0, ccEnd),
        k(VK_DELETE, 0, ccDel), k(VK_BACK, 0, ccBack), k(VK_NEXT, C, ccBotOfPage),
        k(VK_PRIOR, C, ccTopOfPage), k(VK_INSERT, 0, ccIns), k('Z', C, ccRestore),
        k(VK_UP, 0, ccUp), k(VK_DOWN, 0, ccDown), k(VK_LEFT, S, ccExtendLeft),
        k(VK_RIGHT, S, ccExtendRight), k(VK_HOME, S, ccExtendHome), k(VK_END, S, ccExtendEnd),
        k(VK_LEFT, CS, ccExtWordLeft), k(VK_RIGHT, CS, ccExtWordRight),
        k(VK_PRIOR, S, ccExtendPgUp), k(VK_NEXT, S, ccExtendPgDn), k(VK_UP, S, ccExtendUp),
        k(VK_DOWN, S, ccExtendDown), k(VK_HOME, CS, ccExtFirstPage),
        k(VK_END, CS, ccExtLastPage), k(VK_PRIOR, CS, ccExtTopOfPage),
        k(VK_NEXT, CS, ccExtBotOfPage), k('X', C, ccCut), k('C', C, ccCopy), k('V', C, ccPaste),
        k(VK_PRIOR, 0, ccPrevPage), k(VK_HOME, C, ccFirstPage), k(VK_NEXT, 0, ccNextPage),
        k(VK_END, C, ccLastPage), k(VK_UP, C, ccTopLeftCell), k(VK_DOWN, C, ccBotRightCell),
        k(VK_F2, 0, ccTableEdit),
    };
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(uint8_t(c)));
    return s;
}

bool sameText(const std::string& a, const std::string& b) { return lower(a) == lower(b); }

bool isModifierKey(uint8_t key)
{
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL ||
           key == VK_NUMLOCK || key == VK_SCROLL;
}

} // namespace

std::string CommandName(uint16_t cmd)
{
    if (cmd <= ccLastCmd)
        return GetLibraryString(SCCommandNames + cmd);
    if (cmd >= ccUserFirst)
        return FormatLibraryString(SCCCUserNum, {std::to_string(cmd - ccUserFirst)});
    return GetLibraryString(SCUnknownTable);
}

const std::vector<TOvcCmdRec>& DefaultCommandTable()
{
    static const std::vector<TOvcCmdRec> t = buildDefault();
    return t;
}

const std::vector<TOvcCmdRec>& WordStarCommandTable()
{
    static const std::vector<TOvcCmdRec> t = buildWordStar();
    return t;
}

const std::vector<TOvcCmdRec>& GridCommandTable()
{
    static const std::vector<TOvcCmdRec> t = buildGrid();
    return t;
}

const std::vector<TOvcCmdRec>* BuiltInCommandTable(const std::string& name)
{
    if (sameText(name, GetLibraryString(SCDefaultTableName)))
        return &DefaultCommandTable();
    if (sameText(name, GetLibraryString(SCWordStarTableName)))
        return &WordStarCommandTable();
    if (sameText(name, GetLibraryString(SCGridTableName)))
        return &GridCommandTable();
    return nullptr;
}

// ---- TOvcCommandTable

TOvcCommandTable::TOvcCommandTable() : TableName(GetLibraryString(SCUnknownTable)) {}

int TOvcCommandTable::AddCommandRec(const TOvcCmdRec& rec)
{
    entries_.push_back(rec);
    return int(entries_.size()) - 1;
}

void TOvcCommandTable::InsertCommandRec(int index, const TOvcCmdRec& rec)
{
    if (index < 0 || index > GetCount())
        throw ETableNotFound();
    entries_.insert(entries_.begin() + index, rec);
}

void TOvcCommandTable::DeleteCommand(int index)
{
    if (index < 0 || index >= GetCount())
        throw ETableNotFound();
    entries_.erase(entries_.begin() + index);
}

void TOvcCommandTable::ExchangeCommand(int index, const TOvcCmdRec& rec)
{
    if (index < 0 || index >= GetCount())
        throw ETableNotFound();
    entries_[size_t(index)] = rec;
}

TOvcCmdRec TOvcCommandTable::GetCommandRec(int index) const
{
    if (index < 0 || index >= GetCount())
        throw ETableNotFound();
    return entries_[size_t(index)];
}

int TOvcCommandTable::IndexOf(const TOvcCmdRec& rec) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].Keys() == rec.Keys())
            return int(i);
    return -1;
}

void TOvcCommandTable::LoadFromFile(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file \"" + fileName + "\"");
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    std::vector<TOvcCmdRec> read;
    std::string entry;
    while (std::getline(in, entry)) {
        std::istringstream ls(entry);
        long v[5];
        int n = 0;
        while (n < 5 && (ls >> v[n]))
            ++n;
        if (n == 0) {
            std::string rest;
            ls.clear();
            if (!(ls >> rest))
                continue;  // blank line
        }
        if (n != 5 || v[0] < 0 || v[0] > 255 || v[1] < 0 || v[1] > 255 || v[2] < 0 ||
            v[2] > 255 || v[3] < 0 || v[3] > 255 || v[4] < 0 || v[4] > 65535)
            throw ECmdProcessorError("Invalid command table line: " + entry);
        read.push_back({uint8_t(v[0]), uint8_t(v[1]), uint8_t(v[2]), uint8_t(v[3]), uint16_t(v[4])});
    }
    TableName = line;
    entries_ = std::move(read);
}

void TOvcCommandTable::SaveToFile(const std::string& fileName) const
{
    std::string text = TableName + "\r\n";
    char buf[64];
    for (const auto& e : entries_) {
        std::snprintf(buf, sizeof buf, "%4d%4d%4d%4d%6d\r\n", e.Key1, e.SS1, e.Key2, e.SS2, e.Cmd);
        text += buf;
    }
    WriteFileAtomically(fileName, text);
}

TOvcCommandTableStream TOvcCommandTable::WriteStream() const
{
    TOvcCommandTableStream s{TableName, IsActive, {}};
    if (const auto* builtIn = BuiltInCommandTable(TableName)) {
        for (const auto& b : *builtIn)
            if (IndexOf(b) < 0)
                s.Pairs.emplace_back(b.Keys(), 0);
        for (const auto& e : entries_) {
            bool same = false;
            for (const auto& b : *builtIn)
                if (b.Keys() == e.Keys() && b.Cmd == e.Cmd)
                    same = true;
            if (!same)
                s.Pairs.emplace_back(e.Keys(), e.Cmd);
        }
    } else {
        for (const auto& e : entries_)
            s.Pairs.emplace_back(e.Keys(), e.Cmd);
    }
    return s;
}

void TOvcCommandTable::ReadStream(const TOvcCommandTableStream& s)
{
    TableName = s.TableName;
    IsActive = s.IsActive;
    entries_.clear();
    const auto* builtIn = BuiltInCommandTable(TableName);
    if (!builtIn) {
        for (const auto& [keys, cmd] : s.Pairs)
            entries_.push_back(TOvcCmdRec::FromKeys(keys, cmd));
        return;
    }
    entries_ = *builtIn;
    for (const auto& [keys, cmd] : s.Pairs) {
        TOvcCmdRec rec = TOvcCmdRec::FromKeys(keys, cmd);
        int i = IndexOf(rec);
        if (i < 0)
            entries_.push_back(rec);
        else if (cmd == 0)
            entries_.erase(entries_.begin() + i);
        else
            entries_[size_t(i)].Cmd = cmd;
    }
}

// ---- TOvcCommandProcessor

TOvcCommandProcessor::TOvcCommandProcessor()
{
    auto make = [this](int nameId, const std::vector<TOvcCmdRec>& entries, bool active) {
        auto t = std::make_unique<TOvcCommandTable>();
        t->TableName = GetLibraryString(nameId);
        t->IsActive = active;
        for (const auto& e : entries)
            t->AddCommandRec(e);
        tables_.push_back(std::move(t));
    };
    make(SCDefaultTableName, DefaultCommandTable(), true);
    make(SCWordStarTableName, WordStarCommandTable(), false);
    make(SCGridTableName, GridCommandTable(), false);
}

void TOvcCommandProcessor::Add(std::unique_ptr<TOvcCommandTable> table)
{
    if (!table)
        return;
    std::string base = table->TableName;
    while (base.size() >= 2 && std::isdigit(uint8_t(base.back())))
        base.pop_back();
    std::string name = base;
    for (int n = 1; GetTable(name); ++n)
        name = base + std::to_string(n);
    table->TableName = name;
    tables_.push_back(std::move(table));
}

void TOvcCommandProcessor::AddCommand(const std::string& tableName, const TOvcCmdRec& rec)
{
    TOvcCommandTable* t = GetTable(tableName);
    if (!t)
        throw ETableNotFound();
    if (t->IndexOf(rec) >= 0)
        throw EDuplicateCommand();
    t->AddCommandRec(rec);
}

void TOvcCommandProcessor::Clear()
{
    tables_.clear();
    state_ = 0;
}

TOvcCommandTable* TOvcCommandProcessor::GetTable(const std::string& name) const
{
    for (const auto& t : tables_)
        if (sameText(t->TableName, name))
            return t.get();
    return nullptr;
}

TOvcCommandTable* TOvcCommandProcessor::Table(int index) const
{
    if (index < 0 || index >= GetCount())
        throw ETableNotFound();
    return tables_[size_t(index)].get();
}

void TOvcCommandProcessor::Remove(int index)
{
    if (index < 0 || index >= GetCount())
        throw ETableNotFound();
    tables_.erase(tables_.begin() + index);
}

void TOvcCommandProcessor::LoadCommandTable(const std::string& fileName)
{
    auto t = std::make_unique<TOvcCommandTable>();
    t->LoadFromFile(fileName);
    Add(std::move(t));
}

void TOvcCommandProcessor::SaveCommandTable(const std::string& tableName,
                                            const std::string& fileName) const
{
    if (const TOvcCommandTable* t = GetTable(tableName))
        t->SaveToFile(fileName);
}

uint16_t TOvcCommandProcessor::scanTable(const TOvcCommandTable& t, uint8_t key, uint8_t shift,
                                         KeyState& ks)
{
    for (const auto& e : t.Entries()) {
        if (ks.state == 1) {
            bool shiftOk = e.SS2 == shift || (e.SS2 == ss_Wordstar && (shift == 0 || shift == ss_Ctrl));
            if (e.Key2 != 0 && e.Key1 == ks.key && e.SS1 == ks.shift && e.Key2 == key && shiftOk) {
                ks.state = e.Cmd == ccCtrlChar ? 2 : 0;
                return e.Cmd;
            }
        } else if (e.Key1 == key && e.SS1 == shift) {
            if (e.Key2 != 0) {
                ks.state = 1;
                ks.key = key;
                ks.shift = shift;
                return ccPartial;
            }
            if (e.Cmd == ccCtrlChar)
                ks.state = 2;
            return e.Cmd;
        }
    }
    return 0;
}

uint16_t TOvcCommandProcessor::translateWith(const std::vector<const TOvcCommandTable*>& tables,
                                             uint8_t key, uint8_t shift, KeyState& ks) const
{
    if (isModifierKey(key))
        return ks.state == 1 ? ccPartial : ccNotCommand;
    if (ks.state == 2) {
        ks.state = 0;
        return ccNotCommand;
    }
    for (const TOvcCommandTable* t : tables) {
        uint16_t r = scanTable(*t, key, shift, ks);
        if (r != 0)
            return r;
    }
    uint16_t r = ks.state == 1 ? ccNoPartial : ccNotCommand;
    ks.state = 0;
    return r;
}

std::vector<const TOvcCommandTable*> TOvcCommandProcessor::activeTables() const
{
    std::vector<const TOvcCommandTable*> v;
    for (const auto& t : tables_)
        if (t->IsActive)
            v.push_back(t.get());
    return v;
}

std::vector<const TOvcCommandTable*>
TOvcCommandProcessor::namedTables(const std::vector<std::string>& names) const
{
    std::vector<const TOvcCommandTable*> v;
    for (const auto& n : names)
        if (const TOvcCommandTable* t = GetTable(n))
            v.push_back(t);
    return v;
}

uint16_t TOvcCommandProcessor::Translate(uint8_t key, uint8_t shiftFlags)
{
    KeyState ks{state_, pendingKey_, pendingShift_};
    uint16_t r = translateWith(activeTables(), key, shiftFlags, ks);
    state_ = ks.state;
    pendingKey_ = ks.key;
    pendingShift_ = ks.shift;
    return r;
}

uint16_t TOvcCommandProcessor::TranslateUsing(const std::vector<std::string>& tables, uint8_t key,
                                              uint8_t shiftFlags)
{
    KeyState ks{state_, pendingKey_, pendingShift_};
    uint16_t r = translateWith(namedTables(tables), key, shiftFlags, ks);
    state_ = ks.state;
    pendingKey_ = ks.key;
    pendingShift_ = ks.shift;
    return r;
}

uint16_t TOvcCommandProcessor::Peek(uint8_t key, uint8_t shiftFlags) const
{
    KeyState ks{state_, pendingKey_, pendingShift_};
    return translateWith(activeTables(), key, shiftFlags, ks);
}

uint16_t TOvcCommandProcessor::PeekUsing(const std::vector<std::string>& tables, uint8_t key,
                                         uint8_t shiftFlags) const
{
    KeyState ks{state_, pendingKey_, pendingShift_};
    return translateWith(namedTables(tables), key, shiftFlags, ks);
}

std::vector<TOvcCommandTableStream> TOvcCommandProcessor::WriteStream() const
{
    std::vector<TOvcCommandTableStream> v;
    for (const auto& t : tables_)
        v.push_back(t->WriteStream());
    return v;
}

void TOvcCommandProcessor::ReadStream(const std::vector<TOvcCommandTableStream>& tables)
{
    Clear();
    for (const auto& s : tables) {
        auto t = std::make_unique<TOvcCommandTable>();
        t->ReadStream(s);
        Add(std::move(t));
    }
}

} // namespace korval
