// The storage interface on both databases: schema, duplicates, ranks, bytes.
#include <sqlite3.h>

#include <pqxx/pqxx>

#include "board_fixture.h"
#include "scores/replay_id.h"

namespace scores_test {
namespace {

scores::GameRecord Game(const std::string& difficulty, int score, int seed,
                        const std::string& name = "") {
    scores::GameRecord g;
    g.replay = {'R', 0, 1, 2, 255, static_cast<unsigned char>(seed), 0};
    g.replay.push_back(static_cast<unsigned char>(seed >> 8));
    g.id = scores::ReplayId(g.replay);
    g.difficulty = difficulty;
    g.score = score;
    g.rounds = 2;
    g.updates = 1000;
    g.name = name;
    g.created = 1700000000 + seed;
    return g;
}

using StoreTest = BoardTest;

TEST_P(StoreTest, SchemaIsMadeOnceAndKeptAcrossStarts) {
    bool inserted = false;
    {
        auto store = scores::OpenStore(where_, 2);
        EXPECT_EQ(store->SchemaVersion(), 1);
        store->Add(Game("easy", 10, 1), inserted);
        EXPECT_TRUE(inserted);
    }
    auto again = scores::OpenStore(where_, 2);
    EXPECT_EQ(again->SchemaVersion(), 1);
    ASSERT_EQ(again->Top("easy", 10).size(), 1u);
}

TEST_P(StoreTest, SameReplayIsOneGame) {
    auto store = scores::OpenStore(where_, 2);
    bool inserted = false;
    auto first = store->Add(Game("hard", 500, 7, "Ann"), inserted);
    EXPECT_TRUE(inserted);
    auto game = Game("hard", 500, 7, "Ann");
    game.score = 999;  // whatever comes with it, the stored game stays
    auto second = store->Add(game, inserted);
    EXPECT_FALSE(inserted);
    EXPECT_EQ(second.id, first.id);
    EXPECT_EQ(second.score, 500);
    EXPECT_EQ(store->Top("hard", 10).size(), 1u);
}

TEST_P(StoreTest, RanksByScoreThenByWhoGotThereFirst) {
    auto store = scores::OpenStore(where_, 2);
    struct Row {
        int score;
        int rank_at_end;
    };
    // Posted in this order; equal scores keep their posting order.
    const Row rows[] = {{300, 2}, {100, 5}, {300, 3}, {900, 1}, {200, 4}};
    std::vector<std::string> ids;
    bool inserted = false;
    for (int i = 0; i < 5; ++i)
        ids.push_back(store->Add(Game("normal", rows[i].score, i), inserted).id);
    store->Add(Game("easy", 5000, 99), inserted);  // another difficulty ranks apart

    for (int i = 0; i < 5; ++i) {
        auto found = store->Find(ids[i]);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->rank, rows[i].rank_at_end) << "game " << i;
    }
    auto top = store->Top("normal", 3);
    ASSERT_EQ(top.size(), 3u);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(top[r].rank, r + 1);
        EXPECT_EQ(store->Find(top[r].id)->rank, r + 1);
    }
    EXPECT_EQ(top[1].id, ids[0]);
    EXPECT_EQ(top[2].id, ids[2]);
}

TEST_P(StoreTest, ReplayBytesAndNamesComeBackAsStored) {
    auto store = scores::OpenStore(where_, 2);
    bool inserted = false;
    auto named = Game("easy", 40, 1, "Zed_2.0");
    auto nameless = Game("easy", 30, 2);
    store->Add(named, inserted);
    store->Add(nameless, inserted);
    EXPECT_EQ(store->Replay(named.id), named.replay);  // zero and 255 bytes included
    EXPECT_FALSE(store->Replay(scores::ReplayId({'x'})));
    auto top = store->Top("easy", 10);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].name, "Zed_2.0");
    EXPECT_EQ(top[0].created, named.created);
    EXPECT_EQ(top[1].name, "");
}

TEST_P(StoreTest, ASchemaNewerThanTheServiceIsRefused) {
    { scores::OpenStore(where_, 1); }
    if (GetParam() == Db::kSqlite) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(where_.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "UPDATE schema_version SET version = 99", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    } else {
        pqxx::connection c(where_);
        pqxx::work w(c);
        w.exec("UPDATE schema_version SET version = 99");
        w.commit();
    }
    try {
        scores::OpenStore(where_, 1);
        ADD_FAILURE() << "opened a schema from the future";
    } catch (const scores::StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("newer"), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Db, StoreTest, testing::Values(Db::kSqlite, Db::kPostgres), DbName);

}  // namespace
}  // namespace scores_test
