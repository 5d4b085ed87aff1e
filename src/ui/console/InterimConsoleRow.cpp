#include "ui/console/InterimConsoleRow.h"

#include <QPointer>
#include <algorithm>

#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/ConsoleFades.h"
#include "ui/console/ConsoleStripWidget.h"
#include "ui/console/SlotSourceMenu.h"
#include "ui/console/StoredStripCount.h"
#include "ui/console/StripModelBuilder.h"
#include "ui/console/StripModelRefresh.h"
#include "ui/console/StripStyleEdit.h"
#include "ui/style/PromptSheet.h"
#include "ui/style/ViewRefresh.h"

namespace quellor {

InterimConsoleRow::InterimConsoleRow(MixerEngine& engine, MIDIMappingManager* mappings, UserDefaults& defaults,
                                     ThemeController& themes, QWidget* parent)
    : QWidget(parent),
      engine_(engine),
      ownMappings_(mappings ? nullptr : std::make_unique<MIDIMappingManager>(defaults)),
      mappings_(mappings ? *mappings : *ownMappings_),
      defaults_(defaults),
      themes_(themes),
      refresh_(new ViewRefresh([this] { rebuild(); }, this)),
      prompt_(new PromptSheet(this)) {
    setObjectName(QStringLiteral("console-strips"));
    watchStripModelSources(*refresh_, engine_, &mappings_);
    refresh_->watchDefaults(defaults_, {QString::fromLatin1(kConsoleStripsKey)});
    rebuild();
}

InterimConsoleRow::~InterimConsoleRow() = default;

ConsoleStripWidget* InterimConsoleRow::strip(int index) const {
    return index >= 0 && index < stripCount() ? strips_[std::size_t(index)] : nullptr;
}

QRect InterimConsoleRow::stripRect(int index, int count, QSize size) {
    const int perRow = std::min(count, kStripsPerRow);
    const int rows = (count + perRow - 1) / std::max(perRow, 1);
    const int width = size.width() - 2 * kPadding;
    const int height = size.height() - 2 * kPadding;
    // One row takes strips up to 120 wide, more rows up to 100; the gaps share what is left, the
    // first strip at the left edge and the last at the right.
    const int widest = rows > 1 ? 100 : 120;
    const int stripWidth = std::max(0, std::min(widest, (width - kMinimumGap * (perRow - 1)) / perRow));
    const int gap = perRow > 1 ? (width - stripWidth * perRow) / (perRow - 1) : 0;
    const int stripHeight =
        std::max(0, std::min(kMaximumStripHeight, (height - kRowSpacing * (rows - 1)) / std::max(rows, 1)));
    const int row = index / perRow, column = index % perRow;
    return QRect(kPadding + column * (stripWidth + gap), kPadding + row * (stripHeight + kRowSpacing), stripWidth,
                 stripHeight);
}

void InterimConsoleRow::rebuild() {
    const int count = storedStripCount(defaults_);
    while (stripCount() > count) {
        delete strips_.back();
        strips_.pop_back();
    }
    while (stripCount() < count) {
        auto* strip = new ConsoleStripWidget(
            {engine_, mappings_, defaults_, themes_, clock_, ConsoleFades::shared(),
             [engine = QPointer<MixerEngine>(&engine_)](int index) {
                 return engine ? slotSourceMenu(index, *engine) : MenuModel{};
             }},
            this);
        strip->setObjectName(QStringLiteral("strip-%1").arg(stripCount() + 1));
        strip->show();
        strips_.push_back(strip);
    }
    const StripModelBuilder builder(engine_, defaults_);
    const QStringList& sources = engine_.consoleSlots();
    for (int i = 0; i < count; ++i) {
        const QString id = i < sources.size() ? sources[i] : QString();
        if (id.isEmpty()) {
            strips_[std::size_t(i)]->setStrip(StripModelBuilder::emptySlotModel(), i, false, {});
            continue;
        }
        StripCallbacks callbacks = stripStyleCallbacks(engine_, id, [this, id] { rename(id); });
        strips_[std::size_t(i)]->setStrip(builder.model(id), i, false, std::move(callbacks));
    }
    relayout();
}

void InterimConsoleRow::resizeEvent(QResizeEvent*) { relayout(); }

void InterimConsoleRow::relayout() {
    for (int i = 0; i < stripCount(); ++i) strips_[std::size_t(i)]->setGeometry(stripRect(i, stripCount(), size()));
}

void InterimConsoleRow::rename(const QString& id) {
    prompt_->present({kRenameStripTitle, stripStyleName(engine_, id), kRenameStripPlaceholder,
                      [engine = QPointer<MixerEngine>(&engine_), id](const QString& typed) {
                          if (engine) renameStrip(*engine, id, typed);
                      }});
}

}  // namespace quellor
