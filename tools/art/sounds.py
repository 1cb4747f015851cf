"""The game's three sounds, synthesised from seeded noise and sines: the scene-change
whoosh, the explosion and the metallic hit on the boss. Every sound starts and ends on
the zero level with a short fade, so it never clicks."""

from dataclasses import dataclass
from typing import Callable

import numpy as np


@dataclass(frozen=True)
class Sound:
    name: str      # the name the game plays the sound by
    file: str      # under assets/sounds/
    rate: int
    bits: int
    samples: int   # data bytes / (bits / 8)
    make: Callable


def fades(signal, rate, fade_in_ms, fade_out_ms):
    """Raised-cosine fades that start and end exactly on zero."""
    out = signal.copy()
    for ms, reverse in ((fade_in_ms, False), (fade_out_ms, True)):
        n = max(2, int(rate * ms / 1000))
        ramp = 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, n))
        if reverse:
            out[-n:] *= ramp[::-1]
        else:
            out[:n] *= ramp
    return out


def band_pass(signal, centre, q, rate):
    """A state-variable band-pass filter whose centre frequency may change per sample."""
    centre = np.broadcast_to(np.asarray(centre, float), signal.shape)
    low = band = 0.0
    out = np.empty_like(signal)
    damping = 1.0 / q
    for i, v in enumerate(signal):
        f = 2 * np.sin(np.pi * min(centre[i], rate / 6) / rate)
        high = v - low - damping * band
        band += f * high
        low += f * band
        out[i] = band
    return out


def low_pass(signal, cutoff, rate):
    """A one-pole low-pass whose cutoff may change per sample."""
    cutoff = np.broadcast_to(np.asarray(cutoff, float), signal.shape)
    a = 1 - np.exp(-2 * np.pi * cutoff / rate)
    out = np.empty_like(signal)
    state = 0.0
    for i, v in enumerate(signal):
        state += a[i] * (v - state)
        out[i] = state
    return out


def normalise(signal, peak):
    return signal * (peak / np.max(np.abs(signal)))


def to_pcm16(signal):
    return np.clip(np.rint(signal * 32767), -32767, 32767).astype(np.int16)


def to_pcm8(signal, rng):
    """Unsigned 8-bit around 128, with triangular dither against quantisation buzz; the
    faded ends carry no dither so they sit exactly on 128."""
    envelope = np.clip(np.abs(signal) * 40, 0, 1)
    dither = (rng.random(len(signal)) - rng.random(len(signal))) * envelope
    return np.clip(np.rint(128 + signal * 127 + dither), 1, 255).astype(np.uint8)


def scene_mov():
    """A short whoosh: noise through a band-pass sweeping upwards, swelling and fading
    within 58 ms."""
    rate, n = 22050, 1275
    rng = np.random.default_rng(7)
    t = np.arange(n) / n
    noise = rng.standard_normal(n)
    sweep = 500 * (9.0 ** t)
    swoosh = band_pass(noise, sweep, 2.2, rate)
    envelope = np.sin(np.pi * t ** 0.7) ** 1.5
    tone = np.sin(2 * np.pi * np.cumsum(sweep * 0.5) / rate) * 0.15
    signal = normalise((swoosh + tone * np.std(swoosh) * 3) * envelope, 0.7)
    return to_pcm16(fades(signal, rate, 2, 6))


def explosion():
    """A blast: a low thump, rumbling noise whose brightness and level fall away, and a
    scatter of crackles, over 1.09 s."""
    rate, n = 11025, 12038
    rng = np.random.default_rng(1945)
    t = np.arange(n) / rate
    noise = rng.standard_normal(n)
    rumble = low_pass(noise, 200 + 3800 * np.exp(-t / 0.09), rate)
    rumble = low_pass(rumble, 180 + 2400 * np.exp(-t / 0.25), rate)
    rumble *= np.exp(-t / 0.32)
    thump = np.sin(2 * np.pi * np.cumsum(38 + 90 * np.exp(-t / 0.06)) / rate) * np.exp(-t / 0.16)
    crackle = np.zeros(n)
    for when, size in rng.random((60, 2)):
        at = int((when ** 2) * n * 0.7)
        length = 20 + int(size * 60)
        burst = rng.standard_normal(length) * np.exp(-np.arange(length) / (length / 4))
        crackle[at:at + length] += burst[: n - at] * (0.6 * np.exp(-at / rate / 0.3))
    attack = np.clip(t / 0.004, 0, 1)
    signal = (normalise(rumble, 1.0) + 0.55 * thump + 0.35 * crackle) * attack
    signal = np.tanh(normalise(signal, 1.4)) / np.tanh(1.4)
    return to_pcm16(fades(normalise(signal, 0.9), rate, 1, 60))


def kan():
    """A short metallic clang: inharmonic partials of a struck plate ringing down over
    26 ms, with a touch of noise at the strike."""
    rate, n = 11025, 287
    rng = np.random.default_rng(3)
    t = np.arange(n) / rate
    partials = ((1180, 1.0, 0.020), (2710, 0.7, 0.012), (3890, 0.5, 0.009), (4620, 0.35, 0.006))
    ring = sum(a * np.sin(2 * np.pi * f * t + p) * np.exp(-t / d)
               for (f, a, d), p in zip(partials, (0.0, 1.1, 2.3, 0.7)))
    strike = rng.standard_normal(n) * np.exp(-t / 0.002) * 0.6
    signal = fades(normalise(ring + strike, 0.85), rate, 1.5, 4)
    return to_pcm8(signal, rng)


SOUNDS = [
    Sound("SceneMov", "scene_mov.wav", 22050, 16, 1275, scene_mov),
    Sound("Explosion", "explosion.wav", 11025, 16, 12038, explosion),
    Sound("kan!!", "kan.wav", 11025, 8, 287, kan),
]
