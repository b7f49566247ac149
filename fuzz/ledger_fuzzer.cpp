// The contact ledger and the poll cycle against a model of the shack: fldigi appends records
// (whole, torn, several per tick), files are held, locked, unreadable or undeletable, searches
// fail, the set-aside file cannot be written, the host is away or refuses, the clock jumps, and
// the bridge is killed before any file operation and started again over the same files.
// After every step: no record is saved or set aside more than once (one more per kill between
// a save and its record); once the faults end, every record fldigi appended whole is saved or
// set aside within a bounded number of ticks, and the taken files are gone.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "app/poll/contact_ledger.h"
#include "app/poll/poll_cycle.h"
#include "ledger_model.h"

namespace {

using namespace pollcycle;
using namespace ledgerfuzz;

const std::string kFolder = "C:\\fl\\temp\\";

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "ledger model: %s\n", what.c_str());
    std::abort();
}

std::string field(const char* tag, const std::string& value) {
    return std::string("<") + tag + ":" + std::to_string(value.size()) + ">" + value;
}

std::string contactAt(const std::string& call, int64_t when) {
    const std::time_t t = static_cast<std::time_t>(when);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char date[16], time[16];
    std::strftime(date, sizeof date, "%Y%m%d", &utc);
    std::strftime(time, sizeof time, "%H%M%S", &utc);
    return field("QSO_DATE", date) + field("TIME_ON", time) + field("CALL", call) +
           field("FREQ", "14.071500") + "<EOR>\n";
}

class Shack {
  public:
    Shack() {
        fldigi.set("fldigi.config_dir", "C:\\fl");
        restart();
    }

    void run(const uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i + 1 < size; i += 2) {
            step(data[i], data[i + 1]);
            check(false);
        }
        endFaults();
        // Done when two ticks in a row did nothing (an unfinished record waits one tick).
        int quiet = 0;
        for (int tick = 0; tick < 64 && (tick < 3 || !allResolved() || quiet < 2); ++tick) {
            timer();
            quiet = busy_ ? 0 : quiet + 1;
        }
        check(true);
        finishTakenFiles();
    }

  private:
    struct Record {
        bool strict = true;  // appended whole: must end saved or set aside
    };

    std::string nextId() {
        char id[16];
        std::snprintf(id, sizeof id, "K%05dZ", ++ids_);
        return id;
    }
    void log(const std::string& id, const std::string& bytes, bool strict = true) {
        records_[id] = Record{strict};
        files.log(bytes);
    }

    void step(uint8_t op, uint8_t arg) {
        switch (op % 20) {
            case 0:
            case 1: {
                const std::string id = nextId();
                log(id, contactAt(id, files.now - 60));
                break;
            }
            case 2: {
                const std::string id = nextId();
                log(id, contactAt(id, files.now - 3 * 3600));
                break;
            }
            case 3: {
                const std::string id = nextId();
                // fldigi begins each record with its date: a record cut short and the next one
                // share it.
                log(id, arg % 2 ? field("QSO_DATE", "20261208") + field("NAME", id) + "<EOR>\n"
                                : "<CALL:40>" + id + "<EOR>\n");
                break;
            }
            case 4: {  // torn: the rest comes later, or never
                const std::string id = nextId();
                const std::string bytes = contactAt(id, files.now - 60);
                const std::size_t cut = 1 + arg % (bytes.size() - 1);
                log(id, bytes.substr(0, cut), false);
                torn_ = bytes.substr(cut);
                break;
            }
            case 5:
                files.log(std::exchange(torn_, std::string()));
                break;
            case 6:
            case 7:
            case 8:
                timer();
                break;
            case 9:
                toggle(files.unrenamable, FakeMarkerFiles::kMarker);
                break;
            case 10:
                toggle(files.unreadable, pick(arg));
                break;
            case 11:
                toggle(files.undeletable, pick(arg));
                break;
            case 12:
                files.searchFails = !files.searchFails;
                break;
            case 13:
                files.appendFails = !files.appendFails;
                break;
            case 14:
                host.running = !host.running;
                host.refusing = !host.running;
                break;
            case 15:
                host.refuseAfterSave = arg % 2;
                host.reaches = arg % 3 != 0;
                break;
            case 16:
                files.now += (static_cast<int64_t>(arg) - 128) * 120;
                break;
            case 17:
                killable.killBefore = arg % 24;
                break;
            case 18:
                killable.probeFails = arg % 2;
                killable.replaceFails = arg % 3 == 0;
                break;
            default:
                restart();
                break;
        }
    }

    using FakeMarkerFiles = testing::FakeMarkerFiles;

    std::string pick(uint8_t arg) const {
        static const char* const names[] = {"log.adif",
                                            "varnock-claimed-1.adif",
                                            "varnock-claimed-2.adif",
                                            "varnock-claimed-3.adif",
                                            "varnock-saved.txt",
                                            "unsaved-contacts.adi"};
        return kFolder + names[arg % 6];
    }
    static void toggle(std::set<std::string>& set, const std::string& path) {
        if (set.erase(path) == 0) {
            set.insert(path);
        }
    }

    void restart() {
        state = PollState();
        killable.killBefore = -1;
    }

    void timer() {
        journal.events.clear();
        events.events.clear();
        try {
            PollCycle(state, {fldigi, host, killable, view, events}).OnTimer();
        } catch (const Killed&) {
            ++kills_;
            restart();
        } catch (const std::exception&) {
            // A host call failed: the tick ended there.
        }
        busy_ = !events.of<event::ContactSaving>().empty() ||
                !events.of<event::RecordsSetAside>().empty() ||
                !events.of<event::MarkerClaimed>().empty() ||
                !events.of<event::MarkerDeleted>().empty();
        if (killable.replaceFails) {  // saves whose record could not be written
            unrecorded_ += static_cast<int>(events.of<event::ContactSaved>().size());
        }
    }

    void endFaults() {
        files.unrenamable.clear();
        files.unreadable.clear();
        files.undeletable.clear();
        files.searchFails = files.appendFails = false;
        killable.killBefore = -1;
        killable.probeFails = killable.replaceFails = false;
        host.running = host.reaches = true;
        host.refusing = host.refuseAfterSave = false;
    }

    std::size_t asideCount(const std::string& unsaved, const std::string& id) const {
        std::size_t count = 0;
        for (auto at = unsaved.find(id); at != std::string::npos; at = unsaved.find(id, at + 1)) {
            ++count;
        }
        return count;
    }

    bool allResolved() const {
        const std::string unsaved = files.content(kFolder + "unsaved-contacts.adi").value_or("");
        for (const auto& [id, record] : records_) {
            const auto saved = host.saves.find(id);
            if (record.strict && (saved == host.saves.end() || saved->second == 0) &&
                asideCount(unsaved, id) == 0) {
                return false;
            }
        }
        return true;
    }

    // Nothing twice beyond what kills allow; at the end, nothing whole left undone.
    void check(bool atEnd) const {
        const std::string unsaved = files.content(kFolder + "unsaved-contacts.adi").value_or("");
        int extra = 0;
        for (const auto& [id, record] : records_) {
            const auto saved = host.saves.find(id);
            const int saves = saved != host.saves.end() ? saved->second : 0;
            const int asides = static_cast<int>(asideCount(unsaved, id));
            if (asides > 1) {
                fail(id + " set aside " + std::to_string(asides) + " times");
            }
            if (atEnd && record.strict && saves + asides == 0) {
                fail(id + " lost: neither saved nor set aside once the faults ended");
            }
            extra += std::max(0, saves + asides - 1);
        }
        if (extra > kills_ + host.savesNotRecorded + unrecorded_) {
            fail(std::to_string(extra) + " records handled twice, with " + std::to_string(kills_) +
                 " kills, " + std::to_string(host.savesNotRecorded) +
                 " saves whose next host call failed and " + std::to_string(unrecorded_) +
                 " whose record could not be written");
        }
    }

    // Finished files whose deletion failed go once their pauses are over (at most 10 min).
    void finishTakenFiles() {
        for (int tick = 0; tick < 1300; ++tick) {
            bool taken = false;
            for (const auto& [path, bytes] : files.files) {
                taken = taken || path.find("varnock-claimed-") != std::string::npos;
            }
            if (!taken) {
                return;
            }
            const std::vector<PendingContact> left =
                ContactLedger(state.ledger, killable, events, state.markerPath).takePending();
            if (!left.empty()) {
                fail("contacts handed out after all were done: " + left.front().file + " " +
                     left.front().record.field("CALL")->substr(0, 20) + folder());
            }
        }
        fail("a finished taken file was still there after 1300 ticks:" + folder());
    }

    std::string folder() const {
        std::string text;
        for (const auto& [path, bytes] : files.files) {
            text += "\n" + path + ": " + bytes.substr(0, 300);
        }
        return text;
    }

    testing::Journal journal;
    FakeMarkerFiles files{journal};
    KillableFiles killable{files};
    testing::FakeFldigi fldigi{journal};
    testing::RecordedEvents events;
    CountingHost host{events};
    testing::FakeView view{journal};
    PollState state;
    std::map<std::string, Record> records_;
    std::string torn_;
    int ids_ = 0;
    int kills_ = 0;
    int unrecorded_ = 0;
    bool busy_ = false;  // the last tick saved, set aside, took or deleted something
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Shack().run(data, size);
    return 0;
}
