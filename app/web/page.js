// Wires the window's controls to the program and copies the program's picture to the canvas,
// one canvas pixel per device pixel. The page never draws a line itself.
"use strict";

(() => {
  const window_ = document.getElementById("MainWindow");
  const buttons = [1, 2, 3].map((number) => document.getElementById(`Command${number}`));
  const label = document.getElementById("Label1");
  const picture = document.getElementById("Picture1");
  const canvas = picture.querySelector("canvas");
  const context = canvas.getContext("2d", { alpha: false });
  const report = document.getElementById("FatalError");
  const words = document.getElementById("PictureWords");
  let program = null;
  let ended = false;

  // Shows the picture as the program last rendered it.
  function show() {
    const width = program._quorrin_pixel_width();
    const height = program._quorrin_pixel_height();
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    const bytes = new Uint8ClampedArray(program.HEAPU8.buffer, program._quorrin_pixels(), width * height * 4);
    context.putImageData(new ImageData(bytes, width, height), 0, 0);
  }

  // The one report of the fatal error. The program has ended: no click is handled afterwards.
  function end(failure) {
    ended = true;
    report.querySelector("output").textContent = failure;
    report.addEventListener("cancel", (event) => event.preventDefault());
    report.showModal();
  }

  // What was drawn, up to a failure too, is shown before the failure is reported.
  function run(step) {
    if (ended || program === null) {
      return;
    }
    const status = step();
    show();
    if (status !== 0) {
      end(program.UTF8ToString(program._quorrin_failure()));
    }
  }

  // One font size for every control, the largest up to the system's at which each caption and
  // the label fit their boxes on one line.
  function fitFont() {
    let size = parseFloat(getComputedStyle(window_).fontSize);
    const overflows = () => [...buttons, label].some((control) => control.scrollWidth > control.clientWidth);
    while (overflows() && size > 6) {
      size -= 0.5;
      window_.style.fontSize = `${size}px`;
    }
  }

  function showCaptions() {
    buttons.forEach((button, index) => {
      button.textContent = program.UTF8ToString(program._quorrin_caption(index + 1));
    });
    fitFont();
  }

  // The picture in words: its name for screen readers, its description announced, both in its
  // tooltip.
  function describe() {
    const [name, text] = program.UTF8ToString(program._quorrin_picture_words()).split("\n");
    picture.setAttribute("aria-label", name);
    picture.title = `${name}. ${text}`;
    words.textContent = text;
  }

  // The system's colours for the picture, as the canvas's RGBA bytes in one 32-bit value.
  function pixelValue(cssColour) {
    const [red, green, blue] = cssColour.match(/[\d.]+/g).map(Number);
    return ((0xff << 24) | (blue << 16) | (green << 8) | red) >>> 0;
  }

  function takeColours() {
    const style = getComputedStyle(picture);
    run(() => program._quorrin_set_colours(pixelValue(style.backgroundColor), pixelValue(style.color)));
  }

  // Browser zoom or another screen: the kept segments are rasterised again; no view runs.
  function takeDensity() {
    run(() => program._quorrin_set_scale(window.devicePixelRatio));
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener("change", takeDensity, {
      once: true,
    });
  }

  QuorrinModule().then((instance) => {
    program = instance;
    run(() => program._quorrin_start());
    showCaptions();
    describe();
    takeColours();
    takeDensity();
    matchMedia("(prefers-color-scheme: dark)").addEventListener("change", takeColours);
    buttons.forEach((button, index) => {
      button.addEventListener("click", () => {
        if (!ended) {
          run(() => program._quorrin_click(index + 1));
          showCaptions();
          describe();
        }
      });
    });
    picture.focus();
  }, (error) => end(`the program could not start (${error})`));
})();
