// The contact ledger over an in-memory "temp" folder: what it hands out, what it keeps aside,
// and what survives a restart (a new ledger memory over the same files).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/poll/contact_ledger.h"
#include "app/poll/record_time.h"
#include "poll_fakes.h"

namespace pollcycle::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kFolder = "C:\\fl\\temp\\";
const std::string kUnsaved = kFolder + "unsaved-contacts.adi";
const std::string kClaimed1 = kFolder + "varnock-claimed-1.adif";

std::string field(const char* tag, const std::string& value) {
    return std::string("<") + tag + ":" + std::to_string(value.size()) + ">" + value;
}

// A record as fldigi writes it.
std::string contactAt(const std::string& call, const std::string& date, const std::string& time) {
    return field("QSO_DATE", date) + field("TIME_ON", time) + field("QSO_DATE_OFF", date) +
           field("TIME_OFF", time) + field("CALL", call) + field("FREQ", "14.071500") + "<EOR>\n";
}

// Logged `minutesAgo` (less than 12 hours) before the fake's now, 2026-12-08 12:00 UTC.
std::string contact(const std::string& call, int minutesAgo = 1) {
    const int minutes = 12 * 60 - minutesAgo;
    char time[32];
    std::snprintf(time, sizeof time, "%02d%02d00", minutes / 60, minutes % 60);
    return contactAt(call, "20261208", time);
}

std::string record_without_call() {
    return field("QSO_DATE", "20261208") + field("NAME", "Nobody") + "<EOR>\n";
}

const std::string kLastYear = contactAt("G4OLD", "20251208", "120000");

class ContactLedgerTest : public ::testing::Test {
  protected:
    Journal journal;
    FakeMarkerFiles files{journal};
    LedgerMemory memory;
    RecordedEvents notes;

    ContactLedger ledger() { return ContactLedger(memory, files, notes, FakeMarkerFiles::kMarker); }

    // The calls of the contacts handed out this tick.
    std::vector<std::string> take(std::vector<PendingContact>* out = nullptr) {
        std::vector<PendingContact> pending = ledger().takePending();
        std::vector<std::string> calls;
        for (const PendingContact& p : pending) {
            calls.push_back(*p.record.field("CALL"));
        }
        if (out != nullptr) {
            *out = std::move(pending);
        }
        return calls;
    }

    // Takes and saves every contact handed out this tick.
    std::vector<std::string> takeAndSave() {
        std::vector<PendingContact> pending;
        std::vector<std::string> calls = take(&pending);
        for (const PendingContact& p : pending) {
            ledger().markSaved(p);
        }
        return calls;
    }

    void restart() { memory = LedgerMemory(); }
};

TEST_F(ContactLedgerTest, SavedContactsAreNeverHandedOutAgainAfterARestart) {
    files.log(contact("DL1ABC") + contact("F5XYZ"));
    std::vector<PendingContact> pending;
    EXPECT_THAT(take(&pending), ElementsAre("DL1ABC", "F5XYZ"));
    EXPECT_FALSE(files.content(FakeMarkerFiles::kMarker)) << "taken over at once";
    ledger().markSaved(pending[0]);  // the process dies before the second save is done

    restart();
    EXPECT_THAT(takeAndSave(), ElementsAre("F5XYZ"));
    restart();
    EXPECT_THAT(takeAndSave(), IsEmpty());
    EXPECT_THAT(files.paths(), ElementsAre(kFolder + "varnock-saved.txt"));
}

TEST_F(ContactLedgerTest, MarkerThatCannotBeTakenOverIsReadWhereItIsAcrossRestarts) {
    files.unrenamable = files.undeletable = {FakeMarkerFiles::kMarker};
    files.log(contact("DL1ABC") + contact("F5XYZ"));
    EXPECT_THAT(takeAndSave(), ElementsAre("DL1ABC", "F5XYZ"));
    restart();
    EXPECT_THAT(takeAndSave(), IsEmpty());
    files.log(contact("G4AAA"));
    restart();
    EXPECT_THAT(takeAndSave(), ElementsAre("G4AAA"));
    ASSERT_THAT(notes.problemsBegun(), ::testing::Each(ProblemKind::MarkerHeld))
        << "once per start";
    EXPECT_EQ(notes.of<event::ProblemBegan>()[0].systemText, "Access is denied.");

    // Replaced by another file, even one of the same size: all of it is new.
    files.write(contact("OK1AB") + contact("SP2CD") + contact("UA3DE"));
    EXPECT_THAT(takeAndSave(), ElementsAre("OK1AB", "SP2CD", "UA3DE"));
}

TEST_F(ContactLedgerTest, TakenFileThatCannotBeDeletedDoesNotHoldUpTheNextMarker) {
    files.undeletable = {kClaimed1};
    files.log(contact("DL1ABC"));
    EXPECT_THAT(takeAndSave(), ElementsAre("DL1ABC"));
    EXPECT_THAT(takeAndSave(), IsEmpty());
    files.log(contact("F5XYZ") + contact("G4AAA") + contact("OK1AB"));
    restart();
    EXPECT_THAT(takeAndSave(), ElementsAre("F5XYZ", "G4AAA", "OK1AB"));
    EXPECT_THAT(takeAndSave(), IsEmpty());
    EXPECT_TRUE(files.content(kClaimed1));
    EXPECT_FALSE(files.content(kFolder + "varnock-claimed-2.adif"));
}

TEST_F(ContactLedgerTest, LockedMarkerIsLeftAloneAndReadOnceItCanBe) {
    files.unrenamable = files.unreadable = {FakeMarkerFiles::kMarker};
    files.log(contact("DL1ABC"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_THAT(takeAndSave(), IsEmpty());
    }
    EXPECT_THAT(notes.problemsBegun(),
                ElementsAre(ProblemKind::MarkerHeld, ProblemKind::FileUnreadable))
        << "the take-over and the read, each reported once";
    files.unrenamable = files.unreadable = {};
    EXPECT_THAT(takeAndSave(), ElementsAre("DL1ABC"));
}

struct RecordRow {
    const char* name;
    std::string marker;
    std::vector<std::string> saved;  // calls handed out, over as many ticks as it takes
    std::size_t setAside;
};

void PrintTo(const RecordRow& row, std::ostream* out) {
    *out << row.name;
}

class RecordTableTest : public ContactLedgerTest,
                        public ::testing::WithParamInterface<RecordRow> {};

TEST_P(RecordTableTest, ContactsAreSavedTheRestSetAside) {
    const RecordRow& row = GetParam();
    files.log(row.marker);
    std::vector<std::string> saved;
    for (int i = 0; i < 3; ++i) {
        for (const std::string& call : takeAndSave()) {
            saved.push_back(call);
        }
    }
    EXPECT_EQ(saved, row.saved);
    EXPECT_EQ(memory.setAside, row.setAside);
    EXPECT_THAT(files.paths(), ::testing::Not(::testing::Contains(kClaimed1)));
    if (row.setAside > 0) {
        const std::string unsaved = files.content(kUnsaved).value_or("");
        EXPECT_THAT(unsaved, ::testing::StartsWith("Contacts logged in fldigi that Varnock"));
        EXPECT_THAT(unsaved, HasSubstr("<EOH>\n"));
        ASSERT_FALSE(notes.of<event::RecordsSetAside>().empty());
        EXPECT_EQ(notes.of<event::RecordsSetAside>()[0].path, kUnsaved);
    } else {
        EXPECT_FALSE(files.content(kUnsaved));
    }
}

const std::string kGood1 = contact("DL1ABC");
const std::string kGood2 = contact("F5XYZ");

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Records, RecordTableTest,
    ::testing::Values(
        RecordRow{"Fresh",              kGood1,                                                   {"DL1ABC"}, 0},
        RecordRow{"NoCallBetween",      kGood1 + "<NAME:4>Jean<EOR>\n" + kGood2,                  {"DL1ABC", "F5XYZ"}, 1},
        RecordRow{"EmptyCall",          contact(""),                                              {}, 1},
        RecordRow{"BadTag",             kGood1 + "<CALL:x>G4AAA<EOR>\n" + kGood2,                 {"DL1ABC", "F5XYZ"}, 1},
        RecordRow{"LengthTooLong",      "<CALL:60>G4AAA<EOR>\n" + kGood1 + kGood2,                {"DL1ABC", "F5XYZ"}, 1},
        RecordRow{"LengthOverTheEnd",   kGood1 + "<CALL:999>G4AAA<EOR>\n" + kGood2,               {"DL1ABC", "F5XYZ"}, 1},
        RecordRow{"LengthTooShort",     "<CALL:3>G4AAA<NAME:3>Bob<EOR>\n" + kGood1,               {"DL1ABC"}, 1},
        RecordRow{"Stale",              contact("G4OLD", 31) + kGood1,                            {"DL1ABC"}, 1},
        RecordRow{"JustInTime",         contact("G4NEW", 29),                                     {"G4NEW"}, 0},
        RecordRow{"StaleYesterday",     contactAt("G4OLD", "20261207", "120000"),                                {}, 1},
        RecordRow{"NoTimeAtAll",        "<CALL:5>G4AAA<EOR>\n",                                   {"G4AAA"}, 0},
        RecordRow{"LongQsoEndsNow",     field("QSO_DATE", "20261208") + field("TIME_ON", "0900") +
                                        field("QSO_DATE_OFF", "20261208") + field("TIME_OFF", "1159") +
                                        field("CALL", "G4LONG") + "<EOR>\n",                      {"G4LONG"}, 0},
        RecordRow{"OldStartNoEnd",      field("QSO_DATE", "20261208") + field("TIME_ON", "0900") +
                                        field("CALL", "G4OLD") + "<EOR>\n",                       {}, 1},
        RecordRow{"EmptyFile",          "",                                                       {}, 0},
        RecordRow{"LineBreakOnly",      "\r\n",                                                   {}, 0},
        RecordRow{"UnfinishedTail",     kGood1 + "<CALL:6>F5X",                                   {"DL1ABC"}, 1}),
    [](const ::testing::TestParamInfo<RecordRow>& info) { return info.param.name; });
// clang-format on

TEST_F(ContactLedgerTest, ALongBacklogIsSpreadOverTicksInOrder) {
    std::string old;
    while (old.size() < kBytesPerTick + kBytesPerTick / 2) {
        old += kLastYear;
    }
    std::string fresh;
    for (int i = 0; i < 10; ++i) {
        fresh += contact("K" + std::to_string(i));
    }
    files.log(old + fresh);
    std::vector<std::vector<std::string>> ticks;
    for (int i = 0; i < 5; ++i) {
        ticks.push_back(takeAndSave());
    }
    EXPECT_THAT(ticks[0], IsEmpty());
    EXPECT_THAT(ticks[1], ElementsAre("K0", "K1", "K2", "K3", "K4", "K5", "K6", "K7"));
    EXPECT_THAT(ticks[2], ElementsAre("K8", "K9"));
    EXPECT_EQ(memory.setAside, old.size() / kLastYear.size());
    EXPECT_EQ(files.content(kUnsaved).value_or("").find("K0"), std::string::npos);
    EXPECT_FALSE(files.content(kClaimed1));
}

TEST_F(ContactLedgerTest, ARecordLongerThanATicksReadingIsSetAsideNotLost) {
    files.log(field("NOTES", std::string(kBytesPerTick + 10, 'x')) + "<EOR>\n" + contact("DL1ABC"));
    std::vector<std::string> saved;
    for (int i = 0; i < 4; ++i) {
        for (const std::string& call : takeAndSave()) {
            saved.push_back(call);
        }
    }
    EXPECT_THAT(saved, ElementsAre("DL1ABC"));
    EXPECT_GE(files.content(kUnsaved).value_or("").size(), kBytesPerTick + 10);
}

TEST_F(ContactLedgerTest, AFileReadPastTheTicksBudgetWaitsForTheNextTick) {
    // A taken file of old records fills all but 50 bytes of the tick; the next is a contact.
    std::string old;
    while (old.size() + kLastYear.size() < kBytesPerTick - 50) {
        old += kLastYear;
    }
    old += std::string(kBytesPerTick - 50 - old.size(), '\n');
    files.files[kClaimed1] = old;
    files.log(contact("DL1ABC"));
    EXPECT_THAT(takeAndSave(), IsEmpty());
    EXPECT_THAT(takeAndSave(), ElementsAre("DL1ABC"));
    EXPECT_EQ(files.content(kUnsaved).value_or("").find("Damaged"), std::string::npos);
}

// Random markers of good, old, callless and damaged records, logged in pieces while the bridge
// saves, with kills between a save and its record: every contact is saved, at most once more
// per kill, and every other record is kept.
TEST_F(ContactLedgerTest, NoContactIsLostWhateverTheFileAndTheKills) {
    std::mt19937 random(20261208);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 40; ++round) {
        files.files.clear();
        restart();
        std::vector<std::string> good;
        std::size_t others = 0;
        std::vector<std::string> saved;
        std::size_t kills = 0;
        for (int step = 0; step < 30; ++step) {
            const std::string call = "K" + std::to_string(round) + "X" + std::to_string(step);
            switch (pick(6)) {
                case 0:
                    files.log(contactAt("O" + call, "20251208", "120000")), ++others;
                    break;
                case 1:
                    files.log(record_without_call()), ++others;
                    break;
                case 2:
                    files.log("<CALL:40>" + call + "<EOR>\n"), ++others;
                    break;
                default:
                    files.log(contact(call)), good.push_back(call);
                    break;
            }
            if (pick(3) == 0) {
                std::vector<PendingContact> pending;
                take(&pending);
                for (const PendingContact& p : pending) {
                    saved.push_back(*p.record.field("CALL"));
                    if (pick(8) == 0) {  // killed between the host's save and its record
                        ++kills;
                        restart();
                        break;
                    }
                    ledger().markSaved(p);
                }
            }
        }
        for (int tick = 0; tick < 40; ++tick) {
            for (const std::string& call : takeAndSave()) {
                saved.push_back(call);
            }
        }
        std::vector<std::string> unique = saved;
        std::sort(unique.begin(), unique.end());
        unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
        std::sort(good.begin(), good.end());
        EXPECT_EQ(unique, good) << "round " << round;
        EXPECT_LE(saved.size(), good.size() + kills) << "round " << round;
        const std::string unsaved = files.content(kUnsaved).value_or("");
        std::size_t kept = 0;
        for (const char* mark : {"<EOR>", "Damaged record, as found:"}) {
            for (auto at = unsaved.find(mark); at != std::string::npos;
                 at = unsaved.find(mark, at + 1)) {
                ++kept;
            }
        }
        EXPECT_EQ(kept, others) << "round " << round;
        EXPECT_THAT(files.paths(), ::testing::Not(::testing::Contains(kClaimed1)));
    }
}

// The record waits in its file, owed; the contacts after it do not wait for it.
TEST_F(ContactLedgerTest, ARecordThatCannotBeSetAsideHoldsUpNothing) {
    files.appendFails = true;
    files.log(contact("G4OLD", 60) + contact("DL1ABC"));
    EXPECT_THAT(takeAndSave(), ElementsAre("DL1ABC"));
    files.log(contact("F5XYZ"));
    restart();
    EXPECT_THAT(takeAndSave(), ElementsAre("F5XYZ"));
    EXPECT_FALSE(files.content(kUnsaved));
    EXPECT_TRUE(files.content(kClaimed1)) << "kept while it owes a record";
    files.appendFails = false;
    EXPECT_THAT(takeAndSave(), IsEmpty());
    takeAndSave();
    EXPECT_EQ(countRecordEnds(files.content(kUnsaved).value_or("")), 1u);
    EXPECT_THAT(files.content(kUnsaved).value_or(""), HasSubstr("G4OLD"));
    EXPECT_FALSE(files.content(kClaimed1));
}

// A failed look tells nothing about what is there: the file waits, nothing is forgotten and
// the files after it go on.
TEST_F(ContactLedgerTest, AFailedLookHoldsUpOnlyWhatItLookedAt) {
    files.unrenamable = files.undeletable = {FakeMarkerFiles::kMarker};
    files.log(contact("DL1ABC"));
    EXPECT_THAT(takeAndSave(), ElementsAre("DL1ABC"));  // read in place
    files.files[kClaimed1] = contact("F5XYZ");          // left by an earlier start, locked
    files.unreadable = {kClaimed1};
    files.searchFails = true;
    restart();
    files.log(contact("G4AAA"));
    EXPECT_THAT(takeAndSave(), ElementsAre("G4AAA")) << "the marker goes on, DL1ABC is not again";
    EXPECT_THAT(notes.problemsBegun(),
                ElementsAre(ProblemKind::MarkerHeld, ProblemKind::FolderUnlistable));
    files.searchFails = false;
    EXPECT_THAT(takeAndSave(), IsEmpty()) << "the locked file waits, alone";
    files.unreadable.clear();
    EXPECT_THAT(takeAndSave(), ElementsAre("F5XYZ"));
}

TEST_F(ContactLedgerTest, TheRecordOfSavesIsReadWholeAndWaitedForWhenUnreadable) {
    std::string progress;
    for (int i = 1; i <= 1500; ++i) {  // 1,500 taken files that could not be deleted
        const std::string name = "varnock-claimed-" + std::to_string(i) + ".adif";
        files.files[kFolder + name] = contact("K" + std::to_string(i));
        progress += formatLedgerProgress(
            {{name,
              {files.files[kFolder + name].size(), contentHash(files.files[kFolder + name]), {}}}});
    }
    files.files[kFolder + "varnock-saved.txt"] = progress;
    files.unreadable = {kFolder + "varnock-saved.txt"};
    EXPECT_THAT(takeAndSave(), IsEmpty());
    EXPECT_THAT(notes.problemsBegun(), ElementsAre(ProblemKind::ProgressUnreadable));
    files.unreadable.clear();
    EXPECT_THAT(takeAndSave(), IsEmpty()) << "all 1,500 are saved";
    EXPECT_EQ(files.content(kClaimed1), std::nullopt);
}

TEST_F(ContactLedgerTest, AFileThatCannotBeDeletedIsTriedAfterGrowingPauses) {
    files.undeletable = {kClaimed1};
    files.log(contact("DL1ABC"));
    takeAndSave();
    for (int tick = 0; tick < 2000; ++tick) {
        take();
    }
    const auto tries = journal.with("files remove " + kClaimed1).size();
    EXPECT_GE(tries, 9u);   // 2, 4, ... 512 ticks, then every 600
    EXPECT_LE(tries, 14u);  // not every second
    EXPECT_LE(journal.with("files read " + kClaimed1).size(), tries + 2);
}

TEST_F(ContactLedgerTest, TheSetAsideFileIsReportedAsItChanges) {
    const auto seen = [&] {
        std::vector<std::size_t> records;
        for (const event::SetAsideFileSeen& e : notes.of<event::SetAsideFileSeen>()) {
            records.push_back(e.records);
        }
        return records;
    };
    take();
    files.log(contact("G4OLD", 60) + contact("G4OLDER", 90) + "<name:1>x<eor>\n");
    take();
    take();                       // the unfinished-looking lower-case record is a record
    files.files.erase(kUnsaved);  // the operator imported it
    for (uint64_t tick = 0; tick < kSetAsideLookTicks; ++tick) {
        take();
    }
    EXPECT_THAT(seen(), ElementsAre(0u, 3u, 0u));
    EXPECT_EQ(notes.of<event::SetAsideFileSeen>()[0].path, kUnsaved);
}

TEST_F(ContactLedgerTest, AMissingFolderIsReportedOnce) {
    files.folders.clear();
    take();
    take();
    EXPECT_THAT(notes.problemsBegun(), ElementsAre(ProblemKind::FolderMissing));
    EXPECT_EQ(notes.of<event::ProblemBegan>()[0].path, "C:\\fl\\temp");
    files.folders = {"C:\\fl\\temp"};  // the stick is back
    take();
    ASSERT_EQ(notes.of<event::ProblemEnded>().size(), 1u);
    EXPECT_EQ(notes.of<event::ProblemEnded>()[0].kind, ProblemKind::FolderMissing);
}

TEST(LedgerProgress, ReadsWhatItWritesAndPassesOverDamage) {
    const LedgerProgress progress = {{"log.adif", {12, 0xfedcba9876543210ULL, {{2, 5}, {7, 12}}}},
                                     {"varnock-claimed-3.adif", {0, contentHash(""), {}}}};
    EXPECT_EQ(parseLedgerProgress(formatLedgerProgress(progress)), progress);
    const std::pair<const char*, std::size_t> damaged[] = {
        {"", 0},
        {"log.adif 12 fedcba9876543210", 1},  // no line end: still a line
        {"log.adif 12 fedcba98765432", 0},    // cut short
        {"log.adif -1 fedcba9876543210\n", 0},
        {"log.adif 12 FEDCBA9876543210\n", 0},
        {" 12 fedcba9876543210\n", 0},
        {"a b 1 0000000000000000\nx\n", 1},
        {"log.adif 3-5 aside\n", 0},  // a range without its file's line
    };
    for (const auto& [text, lines] : damaged) {
        EXPECT_EQ(parseLedgerProgress(text).size(), lines) << text;
    }
    // Ranges past the file's offset, empty or unreadable are passed over.
    const LedgerProgress owed = parseLedgerProgress(
        "log.adif 9 0000000000000000\nlog.adif 2-4 aside\nlog.adif 5-12 aside\n"
        "log.adif 6-6 aside\nlog.adif x-8 aside\n");
    EXPECT_THAT(owed.at("log.adif").owed, ElementsAre(ByteRange{2, 4}));
}

TEST(RecordTime, OwnTimeOfARecord) {
    const auto at = [](const std::string& fields) {
        AdifRecords read = readAdifRecords(fields + "<EOR>");
        return recordUtcSeconds(read.records.at(0));
    };
    const std::pair<std::string, std::optional<int64_t>> cases[] = {
        {field("QSO_DATE", "19700101") + field("TIME_ON", "0000"), 0},
        {field("QSO_DATE", "20261208") + field("TIME_ON", "115959"), FakeMarkerFiles::kNow - 1},
        {field("QSO_DATE", "20240229") + field("TIME_ON", "2359"), 1709251140},
        {field("QSO_DATE", "20261208") + field("TIME_ON", "1000") +
             field("QSO_DATE_OFF", "20261209") + field("TIME_OFF", "0000"),
         FakeMarkerFiles::kNow + 12 * 3600},
        {field("QSO_DATE", "20261208") + field("TIME_ON", "1000") +
             field("QSO_DATE_OFF", "2026120") + field("TIME_OFF", "0000"),
         FakeMarkerFiles::kNow - 2 * 3600},
        // A start date that is not one, as fldigi 4.2.13 once wrote: the end time counts.
        {field("QSO_DATE", "20120602 123000") + field("TIME_ON", "115959") +
             field("QSO_DATE_OFF", "20261208") + field("TIME_OFF", "115959"),
         FakeMarkerFiles::kNow - 1},
        {field("QSO_DATE", "20261308") + field("TIME_ON", "1000"), std::nullopt},
        {field("QSO_DATE", "20261208") + field("TIME_ON", "2400"), std::nullopt},
        {field("QSO_DATE", "2026120x") + field("TIME_ON", "1000"), std::nullopt},
        {field("TIME_ON", "1000"), std::nullopt},
    };
    for (const auto& [fields, expected] : cases) {
        EXPECT_EQ(at(fields), expected) << fields;
    }
}

}  // namespace
}  // namespace pollcycle::testing
