#include "game/world_box.h"

#include <cstdio>
#include <string>

#include "game/asset_slots.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "game/replay_session.h"
#include "game/score_board.h"
#include "game/text_cache.h"
#include "input/input.h"
#include "platform/text_prompt.h"

namespace vexmo {

namespace {

// Content units (a 584 x 440 panel): three columns, a line for the last post, one for the name.
constexpr float kColumnX[3] = {24, 214, 404};
constexpr float kHeadingY = 44;
constexpr float kFirstRowY = 66;
constexpr float kRowStep = 18;
constexpr float kNoticeY = 270;
constexpr float kOwnY = 310;
constexpr float kNameY = 350;
constexpr float kNameHeight = 24;
constexpr size_t kLongestName = 12;
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEscape = 27;

// Texts: per column its heading and ten rows, then the notice, the last post and the name.
constexpr int kNoticeText = 33;
constexpr int kOwnText = 34;
constexpr int kNameText = 35;
constexpr int kTexts = 36;

struct WorldBoxState {
    bool open = false;
    bool editing = false;
    std::string typed;
    std::string refusal;  // why the typed name was not kept
    CachedTexts<kTexts> texts;
    int editVersion = 0;
};

WorldBoxState& Box() {
    static WorldBoxState box;
    return box;
}

String Latin(const std::string& text) {
    return String(reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<int>(text.size()));
}

std::string RowText(const BoardRow& row) {
    char line[48];
    std::snprintf(line, sizeof(line), "%2d. %6d %s", row.rank, row.score,
                  row.name.empty() ? "-" : row.name.c_str());
    return line;
}

// A failure's reason is long: the columns say only that, the reason goes on a line below them.
std::string ColumnStatus(const WorldList& list) {
    return list.status.rfind("Not reachable", 0) == 0 ? "Not reachable" : list.status;
}

std::string Notice() {
    for (int d = 1; d <= 3; ++d) {
        const std::string& status = WorldListOf(d).status;
        if (status.rfind("Not reachable", 0) == 0) return status.substr(0, 76);
    }
    return std::string();
}

std::string OwnLine() {
    const PostedGame& last = LastPostedGame();
    if (last.rank <= 0) return "Your games are posted here as you finish them.";
    return "Your last game: " + std::to_string(last.score) + " on " + last.difficulty +
           ", world rank " + std::to_string(last.rank);
}

std::string NameLine(const WorldBoxState& box) {
    if (box.editing) {
        return "Name: " + box.typed + "_   " +
               (box.refusal.empty() ? "(Enter keeps it, Escape cancels)" : box.refusal);
    }
    const std::string& name = PlayerName();
    const std::string line = name.empty() ? "Name: none yet (click here to set it)"
                                          : "Name: " + name + "   (click to change)";
    // A name the browser's box brought that the board would not take.
    return box.refusal.empty() ? line : line + "   " + box.refusal;
}

void BuildTexts(WorldBoxState& box) {
    const int key[] = {WorldVersion(), box.editVersion};
    if (!box.texts.Stale(key, 2)) return;
    static const char* const kHeadings[3] = {"Easy", "Normal", "Hard"};
    for (int d = 1; d <= 3; ++d) {
        const int base = (d - 1) * (1 + kWorldRows);
        const WorldList& list = WorldListOf(d);
        box.texts[base] = T(kHeadings[d - 1]);
        for (int i = 0; i < kWorldRows; ++i) {
            std::string line;
            if (i < static_cast<int>(list.rows.size())) {
                line = RowText(list.rows[i]);
            } else if (i == 0) {
                line = ColumnStatus(list);
            }
            box.texts[base + 1 + i] = Latin(line);
        }
    }
    box.texts[kNoticeText] = Latin(Notice());
    box.texts[kOwnText] = Latin(OwnLine());
    box.texts[kNameText] = Latin(NameLine(box));
}

void EndEditing(MyApp& app, WorldBoxState& box) {
    box.editing = false;
    box.refusal.clear();
    ++box.editVersion;
    app.keyLatch = 1;
}

// Typed characters go into the name; the keys that end typing are used up by it.
void Type(MyApp& app, WorldBoxState& box) {
    for (int c = GetChar(); c != 0; c = GetChar()) {
        if (c == kEscape) {
            EndEditing(app, box);
            return;
        }
        if (c == kEnter) {
            std::string why;
            if (SetPlayerName(box.typed, &why)) {
                EndEditing(app, box);
                return;
            }
            box.refusal = why;
        } else if (c == kBackspace) {
            if (!box.typed.empty()) box.typed.pop_back();
            box.refusal.clear();
        } else if (IsPlayerNameCharacter(c) && box.typed.size() < kLongestName) {
            box.typed += static_cast<char>(c);
            box.refusal.clear();
        }
        ++box.editVersion;
    }
}

void AskForName(WorldBoxState& box) {
    std::string answer;
    box.refusal.clear();
    ++box.editVersion;
    switch (AskText("Your name on the world's board: 3 to 12 letters, digits, spaces, - _ or .",
                    PlayerName(), &answer)) {
        case TextPromptResult::kAnswered:
            SetPlayerName(answer, &box.refusal);
            return;
        case TextPromptResult::kCancelled:
            return;
        case TextPromptResult::kNotOffered:
            break;
    }
    box.editing = true;
    box.typed = PlayerName();
    while (GetChar() != 0) {
    }
}

bool PointerIn(const MyApp& app, float x0, float y0, float x1, float y1) {
    return app.pointerDown > 0 && app.pointerX >= x0 && app.pointerX <= x1 && app.pointerY >= y0 &&
           app.pointerY <= y1;
}

}  // namespace

void WorldButton(MyApp& app, int slide) {
    if (!ScoreBoardShown()) return;
    app.ResetDraw();
    app.SetSize(kMenuButtonSize);
    app.SetCol(110, 200, 255, 1);
    const ScreenPoint at = WorldButtonPosition(app.landscape, slide);
    if (app.Button(kIconsImage, at.x, at.y, kWorldIcon) && !app.clickLatch && !app.MenuBoxOpen()) {
        app.clickLatch = 1;
        Box().open = true;
        Box().editing = false;
        FetchWorldLists();
        app.PlaySFX(kSfxToggle, 1, 1, 0);
    }
}

void WorldBox(MyApp& app) {
    WorldBoxState& box = Box();
    if (!box.open) return;
    if (!ScoreBoardShown() || app.screen != kScreenMenu) {
        CloseWorldBox();
        return;
    }
    const MenuBoxLayout l = LayoutMenuBox(app.scaleX);
    if (box.editing) Type(app, box);
    BuildTexts(box);

    app.ResetDraw();
    app.SetCol(0, 0, 40, 0.95f);
    app.Rect(l.panelX, l.panelY, l.panelWidth, l.panelHeight);
    app.SetCol(255, 225, 110, 1);
    app.SetSize(1.5f);
    app.Text(l.title.x, l.title.y, T("World"), 0, 1);

    const PostedGame& last = LastPostedGame();
    for (int d = 1; d <= 3; ++d) {
        const int base = (d - 1) * (1 + kWorldRows);
        const float x = l.X(kColumnX[d - 1]);
        app.SetSize(1.5f * l.scale);
        app.SetCol(255, 225, 110, 1);
        app.Text(x, l.Y(kHeadingY), box.texts[base], 0, 1);
        app.SetSize(l.scale);
        const WorldList& list = WorldListOf(d);
        for (int i = 0; i < kWorldRows; ++i) {
            const bool own = i < static_cast<int>(list.rows.size()) && !last.id.empty() &&
                             list.rows[i].id == last.id;
            if (own) {
                app.SetCol(255, 225, 110, 1);
            } else {
                app.SetCol(255, 255, 255, 1);
            }
            app.Text(x, l.Y(kFirstRowY + kRowStep * i), box.texts[base + 1 + i], 0, 1);
        }
    }
    app.SetSize(l.scale);
    app.SetCol(255, 140, 120, 1);
    app.Text(l.X(kColumnX[0]), l.Y(kNoticeY), box.texts[kNoticeText], 0, 1);
    app.SetCol(200, 255, 160, 1);
    app.Text(l.X(kColumnX[0]), l.Y(kOwnY), box.texts[kOwnText], 0, 1);
    app.SetCol(box.editing ? 255 : 180, box.editing ? 225 : 220, box.editing ? 110 : 255, 1);
    app.Text(l.X(kColumnX[0]), l.Y(kNameY), box.texts[kNameText], 0, 1);

    // A click on the name line asks for the name (in the browser's own box where there is one,
    // else typed on the line itself).
    if (!box.editing && !app.clickLatch &&
        PointerIn(app, l.X(0), l.Y(kNameY - kNameHeight / 2), l.X(MenuBoxLayout::kContentWidth),
                  l.Y(kNameY + kNameHeight / 2))) {
        app.clickLatch = 1;
        AskForName(box);
    }

    app.ResetDraw();
    app.SetCol(255, 90, 90, 1);
    if (app.Button(kIconsImage, l.close.x, l.close.y, kCloseIcon) && !app.clickLatch) {
        app.clickLatch = 1;
        CloseWorldBox();
        app.PlaySFX(kSfxToggle, 1, 1, 0);
    }
}

bool WorldBoxOpen() {
    return Box().open;
}

void CloseWorldBox() {
    WorldBoxState& box = Box();
    box.open = false;
    if (box.editing) {
        box.editing = false;
        ++box.editVersion;
    }
}

bool WorldNameEditing() {
    return Box().open && Box().editing;
}

}  // namespace vexmo
