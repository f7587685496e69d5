#include "browser/simple_handler.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

struct FakeBrowser : Browser {
    std::vector<bool> closes;
    std::vector<QString> loads;
    QString title;
    void CloseBrowser(bool force) override { closes.push_back(force); }
    void LoadURL(const QString& url) override { loads.push_back(url); }
    void SetWindowTitle(const QString& t) override { title = t; }
    int reloads = 0;
    void Reload() override { ++reloads; }
};

struct FakeMenu : ContextMenuModel {
    int count;
    bool cleared = false;
    explicit FakeMenu(int n) : count(n) {}
    int GetCount() const override { return count; }
    void Clear() override
    {
        cleared = true;
        count = 0;
    }
};

struct Harness {
    bool onUi = true;
    std::vector<std::function<void()>> posted;
    std::vector<QString> alerts;
    std::vector<QString> confirms;
    std::vector<QString> warnings;
    qint64 now = 1000;
    bool confirmAnswer = true;
    std::shared_ptr<SimpleHandler> handler;

    Harness()
    {
        HandlerServices s;
        s.currentlyOnUiThread = [this] { return onUi; };
        s.postToUiThread = [this](std::function<void()> task) { posted.push_back(std::move(task)); };
        s.alertBox = [this](const QString& t) { alerts.push_back(t); };
        s.confirmBox = [this](const QString& t) {
            confirms.push_back(t);
            return confirmAnswer;
        };
        s.warningBox = [this](const QString& t) { warnings.push_back(t); };
        s.nowMs = [this] { return now; };
        handler = std::make_shared<SimpleHandler>(std::move(s));
    }
};

}  // namespace

TEST(SimpleHandler, ListAndFlagRules)
{
    Harness h;
    auto main = std::make_shared<FakeBrowser>();
    auto popup = std::make_shared<FakeBrowser>();
    auto stranger = std::make_shared<FakeBrowser>();

    EXPECT_EQ(h.handler->FirstBrowser(), nullptr);
    h.handler->OnAfterCreated(main);
    h.handler->OnAfterCreated(popup);
    EXPECT_EQ(h.handler->FirstBrowser(), main);

    // A pop-up's close with two browsers open leaves the flag alone.
    EXPECT_FALSE(h.handler->DoClose(popup));
    EXPECT_FALSE(h.handler->IsLastBrowserClosing());
    h.handler->OnBeforeClose(popup);
    EXPECT_EQ(h.handler->BrowserCount(), 1u);
    EXPECT_EQ(h.handler->FirstBrowser(), main);

    // A browser that is not listed removes nothing.
    h.handler->OnBeforeClose(stranger);
    EXPECT_EQ(h.handler->BrowserCount(), 1u);

    // The last one: the flag is set, and stays set.
    EXPECT_FALSE(h.handler->DoClose(main));
    EXPECT_TRUE(h.handler->IsLastBrowserClosing());
    h.handler->OnBeforeClose(main);
    EXPECT_EQ(h.handler->FirstBrowser(), nullptr);
    h.handler->OnAfterCreated(popup);
    EXPECT_TRUE(h.handler->IsLastBrowserClosing());
}

TEST(SimpleHandler, OnBeforeCloseRemovesOnlyTheFirstMatch)
{
    Harness h;
    auto a = std::make_shared<FakeBrowser>();
    auto b = std::make_shared<FakeBrowser>();
    h.handler->OnAfterCreated(a);
    h.handler->OnAfterCreated(b);
    h.handler->OnAfterCreated(a);
    h.handler->OnBeforeClose(a);
    EXPECT_EQ(h.handler->BrowserCount(), 2u);
    EXPECT_EQ(h.handler->FirstBrowser(), b);
}

TEST(SimpleHandler, CloseOpenBrowsersPostsItselfOffTheUiThreadAndWalksACopy)
{
    Harness h;
    auto a = std::make_shared<FakeBrowser>();
    auto b = std::make_shared<FakeBrowser>();
    h.handler->OnAfterCreated(a);
    h.handler->OnAfterCreated(b);

    h.onUi = false;
    h.handler->CloseOpenBrowsers(true);
    EXPECT_TRUE(a->closes.empty());
    ASSERT_EQ(h.posted.size(), 1u);

    h.onUi = true;
    h.posted[0]();
    EXPECT_EQ(a->closes, std::vector<bool>{true});
    EXPECT_EQ(b->closes, std::vector<bool>{true});

    // Browsers that leave the list while it is walked do not disturb the walk.
    struct SelfRemoving : FakeBrowser {
        SimpleHandler* handler = nullptr;
        std::shared_ptr<Browser> self;
        void CloseBrowser(bool force) override
        {
            FakeBrowser::CloseBrowser(force);
            handler->OnBeforeClose(self);
        }
    };
    Harness h2;
    std::vector<std::shared_ptr<SelfRemoving>> all;
    for (int i = 0; i < 3; ++i) {
        auto s = std::make_shared<SelfRemoving>();
        s->handler = h2.handler.get();
        s->self = s;
        h2.handler->OnAfterCreated(s);
        all.push_back(s);
    }
    h2.handler->CloseOpenBrowsers(false);
    for (auto& s : all) {
        EXPECT_EQ(s->closes, std::vector<bool>{false});
        s->self.reset();
    }
    EXPECT_EQ(h2.handler->BrowserCount(), 0u);
    h2.handler->CloseOpenBrowsers(true);  // empty: nothing to do
}

TEST(SimpleHandler, FirstBrowserIsSafeWhileAnotherThreadChangesTheList)
{
    Harness h;
    auto main = std::make_shared<FakeBrowser>();
    h.handler->OnAfterCreated(main);
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            auto p = std::make_shared<FakeBrowser>();
            h.handler->OnAfterCreated(p);
            h.handler->DoClose(p);
            h.handler->OnBeforeClose(p);
        }
    });
    for (int i = 0; i < 20000; ++i) {
        EXPECT_EQ(h.handler->FirstBrowser(), main);
        EXPECT_FALSE(h.handler->IsLastBrowserClosing());
    }
    writer.join();
}

TEST(SimpleHandler, TitleGoesToTheBrowsersOwnWindowUnchanged)
{
    Harness h;
    auto b = std::make_shared<FakeBrowser>();
    h.handler->OnTitleChange(b, QStringLiteral("运单 %s <b>"));
    EXPECT_EQ(b->title, QStringLiteral("运单 %s <b>"));
}

TEST(SimpleHandler, LoadErrorShowsOurPageExceptForAbortedLoads)
{
    Harness h;
    auto b = std::make_shared<FakeBrowser>();
    h.handler->OnLoadError(b, -3, "net::ERR_ABORTED", "http://a/");
    EXPECT_TRUE(b->loads.empty());
    h.handler->OnLoadError(b, -105, "net::ERR_NAME_NOT_RESOLVED", "http://a/");
    ASSERT_EQ(b->loads.size(), 1u);
    EXPECT_TRUE(b->loads[0].startsWith("data:text/html;base64,"));
}

TEST(SimpleHandler, JavaScriptDialogs)
{
    Harness h;
    struct Call {
        bool ran = false;
        bool success = false;
    };
    auto record = [](Call& c) { return [&c](bool ok, const QString&) { c.ran = true; c.success = ok; }; };

    Call alert;
    bool suppress = true;
    EXPECT_TRUE(h.handler->OnJSDialog(JSDIALOGTYPE_ALERT, "100% %s %n", record(alert), suppress));
    EXPECT_EQ(h.alerts, std::vector<QString>{"100% %s %n"});
    EXPECT_TRUE(alert.ran && alert.success);
    EXPECT_FALSE(suppress);

    for (bool answer : {true, false}) {
        Call confirm;
        h.confirmAnswer = answer;
        suppress = true;
        EXPECT_TRUE(h.handler->OnJSDialog(JSDIALOGTYPE_CONFIRM, "", record(confirm), suppress));
        EXPECT_TRUE(confirm.ran);
        EXPECT_EQ(confirm.success, answer);
        EXPECT_FALSE(suppress);
    }

    Call prompt;
    suppress = true;
    EXPECT_FALSE(h.handler->OnJSDialog(JSDIALOGTYPE_PROMPT, "x", record(prompt), suppress));
    EXPECT_FALSE(prompt.ran);
    EXPECT_FALSE(suppress);
}

TEST(SimpleHandler, ContextMenuIsClearedOnlyForPageOrFrameWithEntries)
{
    struct Case {
        int flags;
        int count;
        bool cleared;
    } cases[] = {
        {CM_TYPEFLAG_PAGE, 5, true},
        {CM_TYPEFLAG_FRAME | CM_TYPEFLAG_LINK, 3, true},
        {CM_TYPEFLAG_PAGE, 0, false},
        {CM_TYPEFLAG_LINK | CM_TYPEFLAG_EDITABLE, 4, false},
        {CM_TYPEFLAG_NONE, 2, false},
    };
    Harness h;
    for (const Case& c : cases) {
        FakeMenu menu(c.count);
        h.handler->OnBeforeContextMenu(c.flags, menu);
        EXPECT_EQ(menu.cleared, c.cleared) << c.flags << "/" << c.count;
    }
}

TEST(SimpleHandler, CrashedRendererIsReloadedOnceAndTheUserIsToldEachTime)
{
    Harness h;
    auto b = std::make_shared<FakeBrowser>();
    h.handler->OnRenderProcessCrashed(b);
    EXPECT_EQ(b->reloads, 1);
    h.now += 5000;
    h.handler->OnRenderProcessCrashed(b);  // again at once: no reload loop
    EXPECT_EQ(b->reloads, 1);
    h.now += kCrashReloadQuietMs;
    h.handler->OnRenderProcessCrashed(b);
    EXPECT_EQ(b->reloads, 2);
    EXPECT_EQ(h.warnings.size(), 3u);
}
