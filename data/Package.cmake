# The Debian package, built by CPack from the install rules of this folder
# (`make package`). Its dependencies are those that dpkg-shlibdeps finds in
# the two programs, plus what they load or show at run time without linking
# it. Build it from an optimised build: in a sanitizer build dpkg-shlibdeps
# adds the sanitizer run-time libraries (libasan, libubsan), which no user's
# machine should need.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tonarel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tonarel developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# There is no maintainer address to give; the field names the authors.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Tonarel developers")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The first line is the short description, the rest the long one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[tuning aid for musical instruments, in Simplified Chinese
Tonarel records one note from the microphone and shows its frequency in
hertz, the signal-to-noise value used, the semitone counted from A = 440 Hz
and the deviation from that semitone. Readings taken note after note fill a
temperament table, above and below the reference note, in which each note is
judged too high, correct or too low against equal temperament; single notes
can be measured again, and tables are saved to and opened from .qrv files.
An oscilloscope window draws the analysed sound.
.
The interface and the user's guide are in Simplified Chinese. The package
also holds tonarel-analyze, which analyses a recording on the command line.
.
License: GPL-3.0-or-later]=])

# dpkg-shlibdeps finds the Qt, PulseAudio and C++ libraries. Sound capture
# needs nothing beyond them: Qt Multimedia records through its own PulseAudio
# back end in libqt6multimedia6, which also ships Qt's media plugins. What is
# loaded or shown without a link: the CJK font the captions are set in, and
# Qt's translations for the texts of its standard dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n")
# Recording needs a sound server that speaks the PulseAudio protocol; a
# desktop has one, and a machine that records elsewhere need not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio")

include(CPack)
