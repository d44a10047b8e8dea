#pragma once
// A set of definitions kept one file per definition in a folder, each named by its definition
// (the file name without its extension). The whole folder is read at start; the owner adds,
// changes and deletes entries, and Save removes the files of deleted entries and writes the
// changed ones. Names compare ignoring letter case, so "ft1000" and "FT1000" are one entry.
//
// A descendant reads, writes and creates its records (LoadItem, SaveItem, NewItem) and calls
// Load from its constructor. A file that LoadItem refuses (by throwing) is left on disk untouched
// and not listed; its message is kept in LoadProblems for the caller to show.
#include "logbook/base/string_utils.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace korval {

template <class TData>
class TDList {
public:
    virtual ~TDList() = default;

    int Count() const { return static_cast<int>(entries_.size()); }
    const TData& Items(int i) const { return entries_.at(static_cast<std::size_t>(i)).data; }
    TData& Items(int i) { return entries_.at(static_cast<std::size_t>(i)).data; }
    void GetName(int i, std::string& name) const { name = entries_.at(static_cast<std::size_t>(i)).name; }
    std::string Name(int i) const { return entries_.at(static_cast<std::size_t>(i)).name; }

    int IndexOf(const std::string& name) const
    {
        auto it = Find(name);
        if (it == entries_.end() || !SameText(it->name, name))
            return -1;
        return static_cast<int>(it - entries_.begin());
    }

    // A new entry, marked modified; a name already listed (in any case) has its data replaced.
    int Add(const std::string& name, const TData& data)
    {
        auto it = Find(name);
        if (it != entries_.end() && SameText(it->name, name)) {
            it->data = data;
            it->modified = true;
        } else {
            it = entries_.insert(it, Entry {name, data, true, {}});
        }
        return static_cast<int>(it - entries_.begin());
    }

    void Delete(int i)
    {
        auto it = entries_.begin() + i;
        deleted_.push_back(std::move(*it));
        entries_.erase(it);
    }

    // Deleted files first, so that a name deleted and added again is written anew. Flags and the
    // deleted list stay as they are: a second Save does the same again.
    void Save()
    {
        for (const Entry& e : deleted_) {
            std::error_code ec;
            std::filesystem::remove(FileFor(e), ec);
        }
        for (Entry& e : entries_) {
            if (!e.modified)
                continue;
            const std::string target = PathOf(e.name);
            SaveItem(target, e.data);
            // A file read under another spelling of the extension would otherwise be listed twice.
            if (!e.loadedFrom.empty() && e.loadedFrom != target) {
                std::error_code ec;
                std::filesystem::remove(e.loadedFrom, ec);
                e.loadedFrom = target;
            }
        }
    }

    const std::string& Dir() const { return dir_; }
    const std::string& Ext() const { return ext_; }
    const std::vector<std::string>& LoadProblems() const { return problems_; }

    virtual void LoadItem(const std::string& fileName, TData& data) = 0;
    virtual void SaveItem(const std::string& fileName, const TData& data) = 0;
    virtual void NewItem(TData& data) = 0;

protected:
    TDList(std::string dir, std::string ext) : dir_(std::move(dir)), ext_(std::move(ext)) {}

    // Reads every file of the folder whose extension matches (in any case).
    void Load()
    {
        if (dir_.empty())
            return;
        std::error_code ec;
        std::vector<std::filesystem::path> files;
        for (auto it = std::filesystem::directory_iterator(dir_, ec); !ec && it != std::filesystem::directory_iterator();
             it.increment(ec)) {
            std::error_code fileEc;
            if (!it->is_regular_file(fileEc))
                continue;
            const std::string extension = it->path().extension().string();
            if (extension.size() == ext_.size() + 1 && SameText(extension.substr(1), ext_))
                files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& path : files) {
            TData data {};
            try {
                LoadItem(path.string(), data);
            } catch (const std::exception& e) {
                problems_.push_back(e.what());
                continue;
            }
            const std::string name = path.stem().string();
            auto it = Find(name);
            if (it != entries_.end() && SameText(it->name, name))
                continue;
            entries_.insert(it, Entry {name, data, false, path.string()});
        }
    }

private:
    struct Entry {
        std::string name;
        TData data;
        bool modified = false;
        std::string loadedFrom;
    };

    static bool SameText(const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }
    typename std::vector<Entry>::iterator Find(const std::string& name)
    {
        const std::string key = UpperAscii(name);
        return std::lower_bound(entries_.begin(), entries_.end(), key,
                                [](const Entry& e, const std::string& k) { return UpperAscii(e.name) < k; });
    }
    typename std::vector<Entry>::const_iterator Find(const std::string& name) const
    {
        return const_cast<TDList*>(this)->Find(name);
    }
    std::string PathOf(const std::string& name) const { return (std::filesystem::path(dir_) / (name + "." + ext_)).string(); }
    std::string FileFor(const Entry& e) const { return e.loadedFrom.empty() ? PathOf(e.name) : e.loadedFrom; }

    std::string dir_;
    std::string ext_;
    std::vector<Entry> entries_;
    std::vector<Entry> deleted_;
    std::vector<std::string> problems_;
};

} // namespace korval
