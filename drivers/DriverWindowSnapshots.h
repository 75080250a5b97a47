// Pictures of the driver window for the snapshots tool and the tests.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

// Opens the driver window on the key at keyRoot (offscreen or not), searches
// every user driver and saves the list panel as folder/prefix + drivers-1-list.png;
// then opens the recatalogue panel of the first driver found and saves it
// as folder/prefix + drivers-2-recatalogue.png. Returns the paths saved, in that
// order; a picture that could not be saved is left out. Needs a
// QApplication; database errors are thrown.
QStringList SaveDriverWindowSnapshots(const std::string& keyRoot, const QString& folder,
                                      const QString& prefix = QString());
