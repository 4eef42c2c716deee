#include "PlayerMenu.h"

#include "ShockwaveFlash.h"

#include <QActionGroup>
#include <QMenu>

namespace player {

namespace {

void addMovieItems(QMenu& menu, ShockwaveFlash& player, const runtime::ContextMenuModel& model)
{
    for (std::size_t i = 0; i < model.items.size(); ++i) {
        const runtime::ContextMenuItem& item = model.items[i];
        if (item.separatorBefore && i > 0)
            menu.addSeparator();
        QAction* action = menu.addAction(QString::fromStdString(item.caption));
        action->setEnabled(item.enabled);
        QObject::connect(action, &QAction::triggered, [&player, i] { player.chooseMenuItem(i); });
    }
    if (!model.items.empty())
        menu.addSeparator();
}

void addPlayback(QMenu& menu, ShockwaveFlash& player, const runtime::ContextMenuModel& model)
{
    const bool movie = player.hasMovie();
    if (model.play) {
        QAction* play = menu.addAction(QStringLiteral("Play"));
        play->setCheckable(true);
        play->setChecked(player.IsPlaying());
        play->setEnabled(movie);
        QObject::connect(play, &QAction::triggered,
                         [&player](bool on) { on ? player.Play() : player.Stop(); });
    }
    if (model.loop) {
        QAction* loop = menu.addAction(QStringLiteral("Loop"));
        loop->setCheckable(true);
        loop->setChecked(player.Loop());
        loop->setEnabled(movie);
        QObject::connect(loop, &QAction::triggered, [&player](bool on) { player.setLoop(on); });
    }
    menu.addSeparator();
    for (auto [text, step, shown] :
         {std::tuple{"Rewind", &ShockwaveFlash::Rewind, model.rewind},
          std::tuple{"Forward", &ShockwaveFlash::Forward, model.forwardBack},
          std::tuple{"Back", &ShockwaveFlash::Back, model.forwardBack}}) {
        if (!shown)
            continue;
        QAction* action = menu.addAction(QString::fromLatin1(text));
        action->setEnabled(movie);
        QObject::connect(action, &QAction::triggered, [&player, step = step] { (player.*step)(); });
    }
    menu.addSeparator();
}

void addQuality(QMenu& menu, ShockwaveFlash& player)
{
    QMenu* quality = menu.addMenu(QStringLiteral("Quality"));
    auto* qualities = new QActionGroup(quality);
    for (auto [text, level] :
         {std::pair{"Low", render::Quality::Low}, std::pair{"Medium", render::Quality::Medium},
          std::pair{"High", render::Quality::High}}) {
        QAction* action = quality->addAction(QString::fromLatin1(text));
        action->setCheckable(true);
        action->setChecked(player.quality() == level);
        qualities->addAction(action);
        QObject::connect(action, &QAction::triggered,
                         [&player, level = level] { player.setQuality(level); });
    }
}

void addZoom(QMenu& menu, ShockwaveFlash& player)
{
    const bool movie = player.hasMovie();
    menu.addSeparator();
    QAction* zoomIn = menu.addAction(QStringLiteral("Zoom In"));
    zoomIn->setEnabled(movie);
    QObject::connect(zoomIn, &QAction::triggered, [&player] { player.zoomIn(); });
    QAction* zoomOut = menu.addAction(QStringLiteral("Zoom Out"));
    zoomOut->setEnabled(movie && player.zoom() > 1);
    QObject::connect(zoomOut, &QAction::triggered, [&player] { player.zoomOut(); });
    QAction* showAll = menu.addAction(QStringLiteral("Show All"));
    showAll->setEnabled(movie && player.zoom() != 1);
    QObject::connect(showAll, &QAction::triggered, [&player] { player.showAll(); });
}

} // namespace

void buildPlayerMenu(QMenu& menu, ShockwaveFlash& player, const runtime::ContextMenuModel& model)
{
    addMovieItems(menu, player, model);
    if (model.playerItems)
        addPlayback(menu, player, model);
    if (model.quality || !model.playerItems)
        addQuality(menu, player);
    if (model.playerItems && model.zoom)
        addZoom(menu, player);
}

void showPlayerMenu(ShockwaveFlash& player, QPoint globalPosition,
                    const runtime::ContextMenuModel& model)
{
    QMenu menu;
    buildPlayerMenu(menu, player, model);
    menu.exec(globalPosition);
}

} // namespace player
