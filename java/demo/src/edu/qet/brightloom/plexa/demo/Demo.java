package edu.qet.brightloom.plexa.demo;

import edu.qet.brightloom.plexa.Plexa1;
import edu.qet.brightloom.plexa.Plexa2;

/** Loads both bridges and reports the sensors they find. */
public final class Demo {
    private Demo() {
    }

    public static void main(String[] args) {
        System.out.println("First-generation sensors: " + Plexa1._getSensorCount());
        System.out.println("Second-generation sensors: " + Plexa2._getSensorCount());
    }
}
