#include "PlayerMenu.h"

#include "ShockwaveFlash.h"

#include <QActionGroup>
#include <QMenu>

namespace player {

void showPlayerMenu(ShockwaveFlash& player, QPoint globalPosition)
{
    QMenu menu;
    const bool movie = player.hasMovie();

    QAction* play = menu.addAction(QStringLiteral("Play"));
    play->setCheckable(true);
    play->setChecked(player.IsPlaying());
    play->setEnabled(movie);
    QObject::connect(play, &QAction::triggered,
                     [&player](bool on) { on ? player.Play() : player.Stop(); });

    QAction* loop = menu.addAction(QStringLiteral("Loop"));
    loop->setCheckable(true);
    loop->setChecked(player.Loop());
    loop->setEnabled(movie);
    QObject::connect(loop, &QAction::triggered, [&player](bool on) { player.setLoop(on); });

    menu.addSeparator();
    for (auto [text, step] : {std::pair{"Rewind", &ShockwaveFlash::Rewind},
                              std::pair{"Forward", &ShockwaveFlash::Forward},
                              std::pair{"Back", &ShockwaveFlash::Back}}) {
        QAction* action = menu.addAction(QString::fromLatin1(text));
        action->setEnabled(movie);
        QObject::connect(action, &QAction::triggered, [&player, step = step] { (player.*step)(); });
    }

    menu.addSeparator();
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

    menu.exec(globalPosition);
}

} // namespace player
