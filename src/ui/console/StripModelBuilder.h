#pragma once
// Builds the StripModel of each source a console slot can hold, from the engine, its monitors and
// its volume controllers as they are now:
//   "bus:main"       MAIN: the system output volume, the MAIN meter, output device menu
//   "bus:phones"     PHONES: the PHONES bus control while the output has a PHONES pair
//   "system_output"  Output: the system output volume (the same control as MAIN), no meter
//   "system_input"   Input: the system input volume, input device menu
//   anything else    an application, by bundle identifier, running or not
// and lays a source's StripStyle (name, colour, group tag) over its model.
//
// Grouped faders. The setter of a strip with a group tag moves the other strips of that group by
// exactly what it moved its own strip: the strip's level read just before and just after its own
// setter, so a setter that changes nothing (an inactive strip) moves nobody, and a fade moves the
// partners step by step by its own steps. A partner moves only when it stands in one of the slots
// the console shows, is active now and drives a control of its own: MAIN and Output both drive the
// system volume, so one of them never moves the other (that control would move twice). Partners
// move through their own plain setters, so a move never cascades.
//
// The builder is a small value that holds the engine and the defaults weakly; every closure it
// builds captures a copy of it, so models, and fades carrying their setters, may outlive the view
// that built them and the engine itself (they then do nothing).
//
// Threads: main thread only.

#include <QPointer>
#include <QString>
#include <functional>

#include "ui/console/StripModel.h"

namespace quellor {

class MixerEngine;
class UserDefaults;
class VolumeControlling;

class StripModelBuilder {
public:
    StripModelBuilder(MixerEngine& engine, UserDefaults& defaults);

    // The model of a source id without its style (targetID empty).
    StripModel stripModel(const QString& id) const;
    StripModel appStripModel(const QString& bundleID) const;
    // The model with the id's style laid over it and targetID set to the id.
    StripModel styledStripModel(StripModel model, const QString& id) const;
    // What the slot holding `id` shows: the styled model of the id.
    StripModel model(const QString& id) const { return styledStripModel(stripModel(id), id); }

    // Runs the own setter of the strip `id` with `value`, then moves the group's partners by what
    // that moved the strip (see above).
    void propagateGroupMove(const std::function<void(float)>& ownSetter, float value, const QString& id,
                            const QString& tag) const;

    // The name of an application that is not running: the last non-empty piece of its bundle
    // identifier split at ".", each space-separated word capitalised; the identifier itself when
    // there is no such piece.
    static QString automaticAppName(const QString& bundleID);

    // The model of an empty slot: nothing to show and nothing to do.
    static StripModel emptySlotModel();

private:
    StripModel mainModel() const;
    StripModel phonesModel() const;
    StripModel outputModel() const;
    StripModel inputModel() const;
    // A strip of a fixed source that drives one volume control.
    StripModel fixedStrip(const QString& id, const QString& name, const QString& icon, StripModel::Kind kind) const;
    // The control a fixed source drives; none for an application, or for PHONES without a pair.
    VolumeControlling* fixedControl(const QString& id) const;
    // The level the strip of `id` shows now.
    float currentLevel(const QString& id) const;

    QPointer<MixerEngine> engine_;
    QPointer<UserDefaults> defaults_;
};

}  // namespace quellor
