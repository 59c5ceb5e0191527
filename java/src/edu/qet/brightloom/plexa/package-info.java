/**
 * Depth cameras for Java: {@link edu.qet.brightloom.plexa.Plexa1} for first-generation sensors and
 * {@link edu.qet.brightloom.plexa.Plexa2} for the second-generation sensor.
 *
 * <p>A program extends one of the classes, overrides the callbacks it wants, and starts a session
 * with {@code _startNUI}; frames then arrive as fresh Java arrays on a thread the library owns.
 * Without a camera, the virtual sensors film a synthetic room with moving people, so a program can
 * be written and tested on any machine.
 *
 * <p>The native libraries load themselves when a class is first used: from
 * {@code java.library.path} when they are found there, otherwise from the jar, which carries them
 * for each platform it supports (under {@code native/<os>-<arch>/}, such as
 * {@code native/linux-x86_64/}) and extracts them into a new folder private to the process. A
 * platform the jar has no libraries for gets an {@link java.lang.UnsatisfiedLinkError} that names
 * the platform and the platforms the jar has.
 */
package edu.qet.brightloom.plexa;
