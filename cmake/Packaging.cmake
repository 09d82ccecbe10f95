# The Debian package: `cpack -G DEB` in a Release build directory (make deb). Its
# dependencies are what dpkg-shlibdeps finds plus what the program loads at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME memro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Memro developers")
set(CPACK_PACKAGE_CONTACT "The Memro developers <developers@memro.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminder of birthdays, appointments and other dated events")
set(CPACK_PACKAGE_DESCRIPTION
    "Memro keeps dated events in event files and shows, each time it starts,
what is due today or soon. Each event has a date, a message, a frequency
(yearly, monthly, weekly, daily or once), days of advance warning and
automatic clean-up of one-off events. A viewer, an editor, an optional
password lock and alerts by the desktop's bell, wave or MIDI files come
with it.
.
memro-cli writes the same report of what is due in a terminal or a login
script, and lists, adds and converts events.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${MEMRO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the General MIDI SoundFont for
# MIDI alerts (/usr/share/sounds/sf2/default-GM.sf2), the Wayland platform plugin, the
# sound theme whose bell "Default Beep" plays and libsecret, which QtKeychain opens to
# reach the desktop's keyring.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "timgm6mb-soundfont | sf2-soundfont-gm, qt6-wayland, sound-theme-freedesktop, libsecret-1-0")
# Wave alerts (QSoundEffect), FluidSynth and the bell play through the desktop's
# PulseAudio or PipeWire server (the bell by libcanberra's PulseAudio driver; without it,
# through ALSA); Qt Multimedia's GStreamer backend is not loaded for them, but it needs
# these plugins whenever it is.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio, libcanberra-pulse, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")

# Debian's own parts of the package, added to the staged files before they are packed.
set(CPACK_MEMRO_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/data/debian)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStage.cmake)

include(CPack)
